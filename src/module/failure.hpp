// Failures of our own native code reach Python as one exception class,
// never as a crash: every entry point runs its body through `guarded`.
#pragma once

#include <string_view>

#include "module/handle.hpp"
#include "module/python.hpp"

namespace tessary::module {

// The class is created on first use and kept for the life of the process.
PyObject* internal_failure_type() noexcept;

[[gnu::cold]] void raise_internal_failure(std::string_view message) noexcept;

// For a failure to build a result container: the interpreter's own error
// goes to the unraisable hook and the call fails as an internal failure.
[[gnu::cold]] void raise_result_failure() noexcept;

// Takes the pending exception, normalised and with its traceback attached;
// empty when none is pending.
Ref fetch_exception() noexcept;

// Makes `exception` pending again exactly as it was fetched.
void restore_exception(Ref exception) noexcept;

// Raises `type(message)` with `cause` (which may be empty) as its __cause__.
[[gnu::cold]] void raise_with_cause(PyObject* type, PyObject* message, Ref cause) noexcept;

// Must be called from inside a catch block.
[[gnu::cold]] void raise_current_exception() noexcept;

template <class Result, class Body>
Result guarded(Result on_error, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        raise_current_exception();
        return on_error;
    }
}

}  // namespace tessary::module
