// Ref: the one owner of a PyObject reference in this module.
#pragma once

#include <utility>

#include "module/python.hpp"

namespace tessary::module {

class Ref {
public:
    Ref() noexcept = default;
    // Takes over a new reference (the result of a call that returns one); may be null.
    static Ref steal(PyObject* object) noexcept { return Ref(object); }
    // Adds a reference to an object that someone else owns.
    static Ref borrow(PyObject* object) noexcept {
        Py_XINCREF(object);
        return Ref(object);
    }

    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    Ref(Ref&& other) noexcept : object_(other.release()) {}
    Ref& operator=(Ref&& other) noexcept {
        Ref old(std::exchange(object_, other.release()));
        return *this;
    }
    ~Ref() { Py_XDECREF(object_); }

    PyObject* get() const noexcept { return object_; }
    PyObject* release() noexcept { return std::exchange(object_, nullptr); }
    explicit operator bool() const noexcept { return object_ != nullptr; }

private:
    explicit Ref(PyObject* object) noexcept : object_(object) {}
    PyObject* object_ = nullptr;
};

}  // namespace tessary::module
