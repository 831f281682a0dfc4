#include "module/args.hpp"

namespace tessary::module {
namespace {

// A sequence may report any length; this much room is the most we trust it for.
constexpr Py_ssize_t max_reservation = Py_ssize_t{1} << 16;
constexpr Py_ssize_t max_exact_reservation = Py_ssize_t{1} << 20;

std::string full_name(const ArgSpec& spec) {
    std::string name;
    if (!spec.class_name.empty()) {
        name.append(spec.class_name).push_back('.');
    }
    name.append(spec.function).append("()");
    return name;
}

[[gnu::cold]] bool fail_too_many(const ArgSpec& spec, Py_ssize_t given) noexcept {
    return guarded(false, [&] {
        const std::string name = full_name(spec);
        const auto count = static_cast<Py_ssize_t>(spec.params.size());
        const char* verb = given == 1 ? "was" : "were";
        if (spec.required == spec.params.size()) {
            PyErr_Format(PyExc_TypeError, "%s takes %zd positional arguments but %zd %s given",
                         name.c_str(), count, given, verb);
        } else {
            PyErr_Format(PyExc_TypeError,
                         "%s takes from %zd to %zd positional arguments but %zd %s given",
                         name.c_str(), static_cast<Py_ssize_t>(spec.required), count, given, verb);
        }
        return false;
    });
}

[[gnu::cold]] bool fail_keyword(const ArgSpec& spec, const char* format, PyObject* name) noexcept {
    return guarded(false, [&] {
        PyErr_Format(PyExc_TypeError, format, full_name(spec).c_str(), name);
        return false;
    });
}

[[gnu::cold]] bool fail_missing(const ArgSpec& spec, const Bound& out) noexcept {
    return guarded(false, [&] {
        std::vector<std::string_view> missing;
        for (std::size_t i = 0; i < spec.required; ++i) {
            if (out[i] == nullptr) missing.emplace_back(spec.params[i]);
        }
        std::string names;
        for (std::size_t i = 0; i < missing.size(); ++i) {
            if (i > 0) {
                const bool last = i + 1 == missing.size();
                names += missing.size() == 2 ? " and " : last ? ", and " : ", ";
            }
            names.append("'").append(missing[i]).append("'");
        }
        PyErr_Format(PyExc_TypeError, "%s missing %zd required positional %s: %s",
                     full_name(spec).c_str(), static_cast<Py_ssize_t>(missing.size()),
                     missing.size() == 1 ? "argument" : "arguments", names.c_str());
        return false;
    });
}

// Keyword names may arrive as non-interned strings, so they are compared by value.
bool fill_keyword(const ArgSpec& spec, PyObject* name, PyObject* value, Bound& out) noexcept {
    for (std::size_t i = 0; i < spec.params.size(); ++i) {
        if (PyUnicode_CompareWithASCIIString(name, spec.params[i]) == 0) {
            if (out[i] != nullptr) {
                return fail_keyword(spec, "%s got multiple values for argument '%U'", name);
            }
            out[i] = value;
            return true;
        }
    }
    return fail_keyword(spec, "%s got an unexpected keyword argument '%U'", name);
}

bool check_required(const ArgSpec& spec, const Bound& out) noexcept {
    for (std::size_t i = 0; i < spec.required; ++i) {
        if (out[i] == nullptr) return fail_missing(spec, out);
    }
    return true;
}

bool fill_positional(const ArgSpec& spec, Py_ssize_t nargs, Bound& out) noexcept {
    out.fill(nullptr);
    if (nargs > static_cast<Py_ssize_t>(spec.params.size())) return fail_too_many(spec, nargs);
    return true;
}

}  // namespace

bool bind(const ArgSpec& spec, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames,
          Bound& out) noexcept {
    if (!fill_positional(spec, nargs, out)) return false;
    std::copy(args, args + nargs, out.begin());
    if (kwnames != nullptr) {
        const Py_ssize_t count = PyTuple_Size(kwnames);
        for (Py_ssize_t k = 0; k < count; ++k) {
            // Borrowed: the caller's keyword-name tuple holds it.
            if (!fill_keyword(spec, PyTuple_GetItem(kwnames, k), args[nargs + k], out)) return false;
        }
    }
    return check_required(spec, out);
}

bool bind(const ArgSpec& spec, PyObject* args, PyObject* kwargs, Bound& out) noexcept {
    const Py_ssize_t nargs = PyTuple_Size(args);
    if (nargs < 0 || !fill_positional(spec, nargs, out)) return false;
    for (Py_ssize_t i = 0; i < nargs; ++i) {
        out[static_cast<std::size_t>(i)] = PyTuple_GetItem(args, i);  // borrowed from `args`
    }
    if (kwargs != nullptr) {
        Py_ssize_t position = 0;
        PyObject* name = nullptr;
        PyObject* value = nullptr;
        while (PyDict_Next(kwargs, &position, &name, &value)) {  // borrowed from `kwargs`
            if (!fill_keyword(spec, name, value, out)) return false;
        }
    }
    return check_required(spec, out);
}

bool to_double(PyObject* object, double& out) noexcept {
    out = PyFloat_AsDouble(object);
    return !(out == -1.0 && PyErr_Occurred());
}

bool to_text(PyObject* object, std::string& out) {
    // The exact-type test is inline; the subclass test is a call in the limited API.
    if (!PyUnicode_CheckExact(object) && !PyUnicode_Check(object)) {
        raise_not_instance(object, "str");
        return false;
    }
    Py_ssize_t size = 0;
    const char* utf8 = PyUnicode_AsUTF8AndSize(object, &size);
    if (utf8 == nullptr) return false;  // a lone surrogate: UnicodeEncodeError
    out.assign(utf8, static_cast<std::size_t>(size));
    return true;
}

bool check_tuple(PyObject* object, Py_ssize_t length) noexcept {
    if (!PyTuple_CheckExact(object) && !PyTuple_Check(object)) {
        raise_not_instance(object, "tuple");
        return false;
    }
    const Py_ssize_t actual = PyTuple_Size(object);
    if (actual != length) {
        PyErr_Format(PyExc_ValueError, "expected tuple of length %zd, but got tuple of length %zd",
                     length, actual);
        return false;
    }
    return true;
}

bool to_box(PyObject* object, Box& out) noexcept {
    if (!check_tuple(object, 4)) return false;
    // Borrowed items: a tuple cannot drop them while we convert.
    return to_double(PyTuple_GetItem(object, 0), out.x0) &&
           to_double(PyTuple_GetItem(object, 1), out.y0) &&
           to_double(PyTuple_GetItem(object, 2), out.x1) &&
           to_double(PyTuple_GetItem(object, 3), out.y1);
}

bool fail_argument(const char* name) noexcept {
    Ref original = fetch_exception();
    if (!original || reinterpret_cast<PyObject*>(Py_TYPE(original.get())) != PyExc_TypeError) {
        restore_exception(std::move(original));  // not exactly TypeError: passed on unchanged
        return false;
    }
    Ref message = Ref::steal(PyUnicode_FromFormat("argument '%s': %S", name, original.get()));
    raise_with_cause(PyExc_TypeError, message.get(), Ref::steal(PyException_GetCause(original.get())));
    return false;
}

void raise_not_instance(PyObject* object, const char* expected) noexcept {
    if (object == Py_None) {
        PyErr_Format(PyExc_TypeError, "'None' is not an instance of '%s'", expected);
        return;
    }
    Ref qualname = Ref::steal(
        PyObject_GetAttrString(reinterpret_cast<PyObject*>(Py_TYPE(object)), "__qualname__"));
    if (!qualname) return;
    PyErr_Format(PyExc_TypeError, "'%S' object is not an instance of '%s'", qualname.get(),
                 expected);
}

namespace detail {

bool check_sequence(PyObject* object) noexcept {
    if (PyUnicode_Check(object)) {
        PyErr_SetString(PyExc_TypeError, "Can't extract `str` to `Vec`");
        return false;
    }
    if (!PySequence_Check(object)) {
        raise_not_instance(object, "Sequence");
        return false;
    }
    return true;
}

std::size_t reservation(PyObject* sequence) noexcept {
    // The built-in list and tuple report their true length, so they get a
    // larger cap: enough that a figure's worth of boxes never regrows, small
    // enough that a huge list whose first item is wrong reserves little.
    if (PyList_CheckExact(sequence)) {
        return static_cast<std::size_t>(std::min(PyList_Size(sequence), max_exact_reservation));
    }
    if (PyTuple_CheckExact(sequence)) {
        return static_cast<std::size_t>(std::min(PyTuple_Size(sequence), max_exact_reservation));
    }
    const Py_ssize_t length = PyObject_Size(sequence);
    if (length < 0) {
        PyErr_Clear();  // the length is only a hint
        return 0;
    }
    return static_cast<std::size_t>(std::min(length, max_reservation));
}

}  // namespace detail
}  // namespace tessary::module
