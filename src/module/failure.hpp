// Failures of our own native code reach Python as one exception class,
// never as a crash: every entry point runs its body through `guarded`.
#pragma once

#include <string_view>

#include "module/python.hpp"

namespace tessary::module {

// The class is created on first use and kept for the life of the process.
PyObject* internal_failure_type() noexcept;

[[gnu::cold]] void raise_internal_failure(std::string_view message) noexcept;

// For a failure to build a result container: the interpreter's own error
// goes to the unraisable hook and the call fails as an internal failure.
[[gnu::cold]] void raise_result_failure() noexcept;

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
