#include "module/collision.hpp"

#include <charconv>
#include <cmath>
#include <string>

#include "module/args.hpp"
#include "module/instance.hpp"

namespace tessary::module {
namespace {

using CollisionObject = Instance<CollisionRecord>;

constexpr const char* collision_params[] = {"kind",   "a_role", "a_id", "a_box",
                                            "b_role", "b_id",   "b_box", "severity"};
constexpr ArgSpec collision_spec{"__new__", "Collision", collision_params, 8};

template <class Value, class Convert>
bool convert_argument(PyObject* object, const char* name, Value& out, Convert&& convert) {
    return convert(object, out) || fail_argument(name);
}

PyObject* collision_new(PyTypeObject* type, PyObject* args, PyObject* kwargs) noexcept {
    return guarded<PyObject*>(nullptr, [&]() -> PyObject* {
        Bound bound;
        if (!bind(collision_spec, args, kwargs, bound)) return nullptr;
        CollisionRecord record{};
        const bool converted =
            convert_argument(bound[0], "kind", record.kind, to_text) &&
            convert_argument(bound[1], "a_role", record.a_role, to_text) &&
            convert_argument(bound[2], "a_id", record.a_id, to_text) &&
            convert_argument(bound[3], "a_box", record.a_box, to_box) &&
            convert_argument(bound[4], "b_role", record.b_role, to_text) &&
            convert_argument(bound[5], "b_id", record.b_id, to_text) &&
            convert_argument(bound[6], "b_box", record.b_box, to_box) &&
            convert_argument(bound[7], "severity", record.severity, to_double);
        if (!converted) return nullptr;
        return new_instance(type, std::move(record));
    });
}

// Fixed point with three decimals, rounded exactly (ties to even), the same
// text as Python's format(value, '.3f') for finite values.
std::string three_decimals(double value) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
    // The largest double has 309 integer digits: sign, digits, point and three decimals fit.
    char buffer[320];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 3);
    return std::string(buffer, result.ptr);
}

PyObject* collision_repr(PyObject* self) noexcept {
    return guarded<PyObject*>(nullptr, [&] {
        const CollisionRecord& record = record_of<CollisionRecord>(self);
        std::string text = "Collision(kind=";
        text.append(record.kind).append(", severity=");
        text.append(three_decimals(record.severity)).append(")");
        return to_python(text);
    });
}

PyGetSetDef collision_fields[] = {
    {"kind", get_field<CollisionRecord, &CollisionRecord::kind>, nullptr, nullptr, nullptr},
    {"a_role", get_field<CollisionRecord, &CollisionRecord::a_role>, nullptr, nullptr, nullptr},
    {"a_id", get_field<CollisionRecord, &CollisionRecord::a_id>, nullptr, nullptr, nullptr},
    {"a_box", get_field<CollisionRecord, &CollisionRecord::a_box>, nullptr, nullptr, nullptr},
    {"b_role", get_field<CollisionRecord, &CollisionRecord::b_role>, nullptr, nullptr, nullptr},
    {"b_id", get_field<CollisionRecord, &CollisionRecord::b_id>, nullptr, nullptr, nullptr},
    {"b_box", get_field<CollisionRecord, &CollisionRecord::b_box>, nullptr, nullptr, nullptr},
    {"severity", get_field<CollisionRecord, &CollisionRecord::severity>, nullptr, nullptr,
     nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyType_Slot collision_slots[] = {
    {Py_tp_doc, const_cast<char*>(
                    "Collision(kind, a_role, a_id, a_box, b_role, b_id, b_box, severity)\n--\n\n"
                    "A collision exposed to Python.")},
    {Py_tp_new, reinterpret_cast<void*>(collision_new)},
    {Py_tp_dealloc, reinterpret_cast<void*>(dealloc_instance<CollisionRecord>)},
    {Py_tp_repr, reinterpret_cast<void*>(collision_repr)},
    {Py_tp_getset, collision_fields},
    {0, nullptr},
};

PyType_Spec collision_type_spec = {
    "builtins.Collision", static_cast<int>(sizeof(CollisionObject)), 0, Py_TPFLAGS_DEFAULT,
    collision_slots};

using Candidate = rules::OverDataCandidate;

PyGetSetDef candidate_fields[] = {
    {"decoration_id", get_field<Candidate, &Candidate::decoration_id>, nullptr, nullptr, nullptr},
    {"decoration_role", get_field<Candidate, &Candidate::decoration_role>, nullptr, nullptr,
     nullptr},
    {"decoration_box", get_field<Candidate, &Candidate::decoration_box>, nullptr, nullptr,
     nullptr},
    {"data_id", get_field<Candidate, &Candidate::data_id>, nullptr, nullptr, nullptr},
    {"data_box", get_field<Candidate, &Candidate::data_box>, nullptr, nullptr, nullptr},
    {"overlap", get_field<Candidate, &Candidate::overlap>, nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyType_Slot candidate_slots[] = {
    {Py_tp_doc,
     const_cast<char*>("An over-data candidate handed back to Python for pixel confirmation.")},
    {Py_tp_dealloc, reinterpret_cast<void*>(dealloc_instance<Candidate>)},
    {Py_tp_getset, candidate_fields},
    {0, nullptr},
};

// Only classify creates candidates: Python may read them but not construct them.
PyType_Spec candidate_type_spec = {
    "builtins.OverDataCandidate", static_cast<int>(sizeof(Instance<Candidate>)), 0,
    Py_TPFLAGS_DEFAULT | Py_TPFLAGS_DISALLOW_INSTANTIATION, candidate_slots};

PyObject* collision_type_object = nullptr;
PyObject* candidate_type_object = nullptr;

}  // namespace

PyTypeObject* collision_type() noexcept {
    return process_type(collision_type_object, collision_type_spec);
}

PyTypeObject* candidate_type() noexcept {
    return process_type(candidate_type_object, candidate_type_spec);
}

CollisionRecord collision_record(report::Collision&& collision) {
    return CollisionRecord{std::string(report::kind_name(collision.kind)),
                           std::move(collision.a_role),
                           std::move(collision.a_id),
                           collision.a_box,
                           std::move(collision.b_role),
                           std::move(collision.b_id),
                           collision.b_box,
                           collision.severity};
}

bool copy_collision(PyObject* object, CollisionRecord& out) {
    PyTypeObject* type = collision_type();
    if (type == nullptr) return false;
    if (!PyObject_TypeCheck(object, type)) {
        raise_not_instance(object, "Collision");
        return false;
    }
    out = record_of<CollisionRecord>(object);
    return true;
}

PyObject* new_collision(CollisionRecord&& record) noexcept {
    return new_instance(collision_type(), std::move(record));
}

PyObject* new_candidate(rules::OverDataCandidate&& candidate) noexcept {
    return new_instance(candidate_type(), std::move(candidate));
}

}  // namespace tessary::module
