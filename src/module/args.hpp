// One argument-binding scheme and one set of conversions for every callable
// of the module, with the module's fixed error messages.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "module/failure.hpp"
#include "module/handle.hpp"
#include "rules/records.hpp"

namespace tessary::module {

// The static description of one callable's parameters. Every parameter may be
// passed by position or by keyword; the first `required` must be given.
struct ArgSpec {
    std::string_view function;
    std::string_view class_name;  // empty for module-level functions
    std::span<const char* const> params;
    std::size_t required;
};

inline constexpr std::size_t max_params = 8;

// One borrowed reference per parameter, null when the parameter was not given.
// The caller's argument array or tuple keeps the values alive.
using Bound = std::array<PyObject*, max_params>;

// For METH_FASTCALL | METH_KEYWORDS functions and methods.
bool bind(const ArgSpec& spec, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames,
          Bound& out) noexcept;

// For tp_new, which receives a tuple and a dict.
bool bind(const ArgSpec& spec, PyObject* args, PyObject* kwargs, Bound& out) noexcept;

// Conversions: each returns false with a Python exception set.
bool to_double(PyObject* object, double& out) noexcept;
bool to_text(PyObject* object, std::string& out);
bool to_box(PyObject* object, Box& out) noexcept;

// Checks that `object` is a tuple (or subclass) of exactly `length` items.
bool check_tuple(PyObject* object, Py_ssize_t length) noexcept;

// An exception of exactly TypeError becomes "argument '<name>': <message>",
// keeping its __cause__; anything else passes unchanged. Always returns false,
// so a failed conversion reads `return fail_argument(name);`.
[[gnu::cold]] bool fail_argument(const char* name) noexcept;

[[gnu::cold]] void raise_not_instance(PyObject* object, const char* expected) noexcept;

namespace detail {
bool check_sequence(PyObject* object) noexcept;
std::size_t reservation(PyObject* sequence) noexcept;
}  // namespace detail

// Any sequence but a str, read by iteration: a lying or failing __len__ only
// affects how much room is reserved. Every item is held while it is converted.
template <class T, class Convert>
bool to_vector(PyObject* sequence, std::vector<T>& out, Convert&& convert) {
    if (!detail::check_sequence(sequence)) return false;
    out.reserve(detail::reservation(sequence));
    Ref iterator = Ref::steal(PyObject_GetIter(sequence));
    if (!iterator) return false;
    while (Ref item = Ref::steal(PyIter_Next(iterator.get()))) {
        // Converted in place: records with strings cost a move each otherwise.
        if (!convert(item.get(), out.emplace_back())) {
            out.pop_back();
            return false;
        }
    }
    return !PyErr_Occurred();
}

}  // namespace tessary::module
