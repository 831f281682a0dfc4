// The Python class CollisionReport: a fixed list of collision copies.
#include <string>
#include <vector>

#include "module/args.hpp"
#include "module/collision.hpp"
#include "module/instance.hpp"
#include "module/report.hpp"
#include "report/json.hpp"

namespace tessary::module {
namespace {

// The held collisions keep their kind texts; the JSON writer maps them.
using Held = report::TextKindReport;
using Records = std::vector<CollisionRecord>;

constexpr const char* report_params[] = {"collisions"};
constexpr ArgSpec report_spec{"__new__", "CollisionReport", report_params, 1};
constexpr const char* by_type_params[] = {"kind"};
constexpr ArgSpec by_type_spec{"by_type", "CollisionReport", by_type_params, 1};
constexpr ArgSpec total_spec{"total", "CollisionReport", {}, 0};
constexpr ArgSpec exit_code_spec{"exit_code", "CollisionReport", {}, 0};
constexpr ArgSpec to_json_spec{"to_json", "CollisionReport", {}, 0};

const Records& records_of(PyObject* self) noexcept { return record_of<Held>(self).collisions; }

bool bind_nothing(const ArgSpec& spec, PyObject* const* args, Py_ssize_t nargs,
                  PyObject* kwnames) noexcept {
    Bound unused;
    return bind(spec, args, nargs, kwnames, unused);
}

// New Collision objects copied from the records that `keep` accepts, in order.
template <class Keep>
PyObject* collision_list(const Records& records, Keep&& keep) {
    Ref list = Ref::steal(PyList_New(0));
    if (!list) return nullptr;
    for (const CollisionRecord& record : records) {
        if (!keep(record)) continue;
        Ref item = Ref::steal(new_collision(CollisionRecord(record)));
        if (!item || PyList_Append(list.get(), item.get()) < 0) return nullptr;
    }
    return list.release();
}

PyObject* report_new(PyTypeObject* type, PyObject* args, PyObject* kwargs) noexcept {
    return guarded<PyObject*>(nullptr, [&]() -> PyObject* {
        Bound bound;
        if (!bind(report_spec, args, kwargs, bound)) return nullptr;
        Held held;
        if (!to_vector(bound[0], held.collisions, copy_collision)) {
            fail_argument("collisions");
            return nullptr;
        }
        return new_instance(type, std::move(held));
    });
}

PyObject* report_collisions(PyObject* self, void*) noexcept {
    return guarded<PyObject*>(nullptr, [&] {
        return collision_list(records_of(self), [](const CollisionRecord&) { return true; });
    });
}

PyObject* report_severity(PyObject* self, void*) noexcept {
    double worst = 0.0;
    for (const CollisionRecord& record : records_of(self)) {
        if (record.severity > worst) worst = record.severity;  // NaN never replaces it
    }
    return PyFloat_FromDouble(worst);
}

PyObject* report_has_collisions(PyObject* self, void*) noexcept {
    return PyBool_FromLong(!records_of(self).empty());
}

PyObject* report_total(PyObject* self, PyObject* const* args, Py_ssize_t nargs,
                       PyObject* kwnames) noexcept {
    if (!bind_nothing(total_spec, args, nargs, kwnames)) return nullptr;
    double total = -0.0;  // the sum of nothing keeps the sign of an empty IEEE sum
    for (const CollisionRecord& record : records_of(self)) total += record.severity;
    return PyFloat_FromDouble(total);
}

PyObject* report_exit_code(PyObject* self, PyObject* const* args, Py_ssize_t nargs,
                           PyObject* kwnames) noexcept {
    if (!bind_nothing(exit_code_spec, args, nargs, kwnames)) return nullptr;
    return PyLong_FromLong(records_of(self).empty() ? 0 : 1);
}

PyObject* report_by_type(PyObject* self, PyObject* const* args, Py_ssize_t nargs,
                         PyObject* kwnames) noexcept {
    return guarded<PyObject*>(nullptr, [&]() -> PyObject* {
        Bound bound;
        if (!bind(by_type_spec, args, nargs, kwnames, bound)) return nullptr;
        std::string kind;
        if (!to_text(bound[0], kind)) {
            fail_argument("kind");
            return nullptr;
        }
        return collision_list(records_of(self),
                              [&](const CollisionRecord& record) { return record.kind == kind; });
    });
}

PyObject* report_to_json(PyObject* self, PyObject* const* args, Py_ssize_t nargs,
                         PyObject* kwnames) noexcept {
    return guarded<PyObject*>(nullptr, [&]() -> PyObject* {
        if (!bind_nothing(to_json_spec, args, nargs, kwnames)) return nullptr;
        const std::string text = record_of<Held>(self).to_json();
        return PyUnicode_FromStringAndSize(text.data(), static_cast<Py_ssize_t>(text.size()));
    });
}

template <class Method>
PyCFunction as_cfunction(Method method) noexcept {
    return reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(method));
}

PyMethodDef report_methods[] = {
    {"total", as_cfunction(report_total), METH_FASTCALL | METH_KEYWORDS, "total($self)\n--\n\n"},
    {"by_type", as_cfunction(report_by_type), METH_FASTCALL | METH_KEYWORDS,
     "by_type($self, kind)\n--\n\n"},
    {"to_json", as_cfunction(report_to_json), METH_FASTCALL | METH_KEYWORDS,
     "to_json($self)\n--\n\n"},
    {"exit_code", as_cfunction(report_exit_code), METH_FASTCALL | METH_KEYWORDS,
     "exit_code($self)\n--\n\n"},
    {nullptr, nullptr, 0, nullptr},
};

PyGetSetDef report_fields[] = {
    {"collisions", report_collisions, nullptr, nullptr, nullptr},
    {"severity", report_severity, nullptr, nullptr, nullptr},
    {"has_collisions", report_has_collisions, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyType_Slot report_slots[] = {
    {Py_tp_doc, const_cast<char*>("CollisionReport(collisions)\n--\n\nThe report exposed to Python.")},
    {Py_tp_new, reinterpret_cast<void*>(report_new)},
    {Py_tp_dealloc, reinterpret_cast<void*>(dealloc_instance<Held>)},
    {Py_tp_methods, report_methods},
    {Py_tp_getset, report_fields},
    {0, nullptr},
};

PyType_Spec report_type_spec = {"builtins.CollisionReport",
                                static_cast<int>(sizeof(Instance<Held>)), 0, Py_TPFLAGS_DEFAULT,
                                report_slots};

PyObject* report_type_object = nullptr;

}  // namespace

PyTypeObject* report_type() noexcept { return process_type(report_type_object, report_type_spec); }

}  // namespace tessary::module
