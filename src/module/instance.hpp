// The layout shared by the module's classes: an object header followed by
// one native record that the instance owns, and getters that convert a field
// into a new Python object on every read.
#pragma once

#include <new>
#include <string>
#include <utility>

#include "module/failure.hpp"
#include "module/python.hpp"
#include "rules/records.hpp"

namespace tessary::module {

template <class Record>
struct Instance {
    PyObject_HEAD
    Record record;
};

template <class Record>
Record& record_of(PyObject* self) noexcept {
    return reinterpret_cast<Instance<Record>*>(self)->record;
}

template <class Record>
void dealloc_instance(PyObject* self) noexcept {
    PyTypeObject* type = Py_TYPE(self);
    record_of<Record>(self).~Record();
    reinterpret_cast<freefunc>(PyType_GetSlot(type, Py_tp_free))(self);
    Py_DECREF(type);  // heap-type instances own a reference to their type
}

// A new instance owning `record`, allocated the way `object` allocates;
// null with the interpreter's error set when allocation fails.
template <class Record>
PyObject* new_instance(PyTypeObject* type, Record&& record) noexcept {
    if (type == nullptr) return nullptr;
    auto allocate = reinterpret_cast<allocfunc>(PyType_GetSlot(type, Py_tp_alloc));
    PyObject* self = allocate(type, 0);
    if (self == nullptr) return nullptr;
    new (&record_of<Record>(self)) Record(std::move(record));
    return self;
}

inline PyObject* to_python(const std::string& text) noexcept {
    return PyUnicode_FromStringAndSize(text.data(), static_cast<Py_ssize_t>(text.size()));
}

inline PyObject* to_python(const Box& box) noexcept {
    return Py_BuildValue("(dddd)", box.x0, box.y0, box.x1, box.y1);
}

inline PyObject* to_python(double value) noexcept { return PyFloat_FromDouble(value); }

template <class Record, auto Member>
PyObject* get_field(PyObject* self, void*) noexcept {
    return to_python(record_of<Record>(self).*Member);
}

// Type objects live for the whole process and are shared by every import of
// the module. Building one may run Python code, so the first one stored wins.
inline PyTypeObject* process_type(PyObject*& cache, PyType_Spec& spec) noexcept {
    if (cache == nullptr) {
        PyObject* created = PyType_FromSpec(&spec);
        if (created == nullptr) return nullptr;
        if (cache == nullptr) {
            cache = created;
        } else {
            Py_DECREF(created);
        }
    }
    return reinterpret_cast<PyTypeObject*>(cache);
}

}  // namespace tessary::module
