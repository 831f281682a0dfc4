// The module's definition and its one execution step.
#include "module/args.hpp"
#include "module/collision.hpp"
#include "module/functions.hpp"
#include "module/report.hpp"

namespace tessary::module {
namespace {

// Appends `name` to the module's __all__ (created when missing), then binds it.
bool add_entry(PyObject* module, PyObject* name, PyObject* value) noexcept {
    Ref all = Ref::steal(PyObject_GetAttrString(module, "__all__"));
    if (!all) {
        if (!PyErr_ExceptionMatches(PyExc_AttributeError)) return false;
        PyErr_Clear();
        all = Ref::steal(PyList_New(0));
        if (!all || PyObject_SetAttrString(module, "__all__", all.get()) < 0) return false;
    } else if (!PyList_Check(all.get())) {
        raise_not_instance(all.get(), "list");
        return false;
    }
    return PyList_Append(all.get(), name) == 0 && PyObject_SetAttr(module, name, value) == 0;
}

[[gnu::cold]] void raise_class_failure(const char* class_name) noexcept {
    Ref cause = fetch_exception();
    Ref message = Ref::steal(
        PyUnicode_FromFormat("An error occurred while initializing class %s", class_name));
    raise_with_cause(PyExc_RuntimeError, message.get(), std::move(cause));
}

bool add_class(PyObject* module, const char* name, PyTypeObject* (*type_of_class)()) noexcept {
    PyTypeObject* type = type_of_class();
    if (type == nullptr) {
        raise_class_failure(name);
        return false;
    }
    Ref key = Ref::steal(PyUnicode_FromString(name));
    return key && add_entry(module, key.get(), reinterpret_cast<PyObject*>(type));
}

bool add_function(PyObject* module, PyMethodDef& definition) noexcept {
    Ref module_name = Ref::steal(PyModule_GetNameObject(module));
    if (!module_name) return false;
    Ref function = Ref::steal(PyCFunction_NewEx(&definition, module, module_name.get()));
    if (!function) return false;
    Ref name = Ref::steal(PyObject_GetAttrString(function.get(), "__name__"));
    if (!name) return false;
    if (!PyUnicode_Check(name.get())) {
        raise_not_instance(name.get(), "str");
        return false;
    }
    return add_entry(module, name.get(), function.get());
}

int exec_module(PyObject* module) noexcept {
    return guarded(-1, [&] {
        if (!PyModule_Check(module)) {
            raise_not_instance(module, "module");
            return -1;
        }
        const bool added = add_class(module, "Collision", collision_type) &&
                           add_class(module, "OverDataCandidate", candidate_type) &&
                           add_class(module, "CollisionReport", report_type) &&
                           add_function(module, classify_method) &&
                           add_function(module, ink_coverage_method);
        return added ? 0 : -1;
    });
}

PyModuleDef_Slot module_slots[] = {
    {Py_mod_exec, reinterpret_cast<void*>(exec_module)},
    {0, nullptr},
};

PyModuleDef module_definition = {
    PyModuleDef_HEAD_INIT, "_core", "", 0, nullptr, module_slots, nullptr, nullptr, nullptr,
};

}  // namespace
}  // namespace tessary::module

PyMODINIT_FUNC PyInit__core(void) { return PyModuleDef_Init(&tessary::module::module_definition); }
