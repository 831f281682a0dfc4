#include "module/failure.hpp"

#include <exception>
#include <new>

namespace tessary::module {
namespace {

constexpr const char* failure_doc =
    "Raised when tessary's native core fails internally: a fault in tessary\n"
    "itself, not in the figure or the arguments.\n"
    "\n"
    "It derives from BaseException, not from Exception, so an ordinary\n"
    "`except Exception:` handler does not catch it; like SystemExit, it\n"
    "usually propagates to the top and ends the program.";

constexpr std::string_view generic_failure = "tessary internal failure (no further detail)";

PyObject* failure_type = nullptr;

}  // namespace

PyObject* internal_failure_type() noexcept {
    if (failure_type == nullptr) {
        PyObject* created = PyErr_NewExceptionWithDoc("tessary._core.InternalFailure", failure_doc,
                                                       PyExc_BaseException, nullptr);
        if (created == nullptr) return nullptr;
        // Creating a class may run Python code; whoever stored one first wins.
        if (failure_type == nullptr) {
            failure_type = created;
        } else {
            Py_DECREF(created);
        }
    }
    return failure_type;
}

void raise_internal_failure(std::string_view message) noexcept {
    PyObject* type = internal_failure_type();
    if (type == nullptr) return;
    // The text may come from a C++ library, so it is not trusted to be UTF-8.
    PyObject* text = PyUnicode_DecodeUTF8(message.data(), static_cast<Py_ssize_t>(message.size()),
                                          "replace");
    if (text == nullptr) return;
    PyErr_SetObject(type, text);
    Py_DECREF(text);
}

Ref fetch_exception() noexcept {
    PyObject* type = nullptr;
    PyObject* value = nullptr;
    PyObject* traceback = nullptr;
    PyErr_Fetch(&type, &value, &traceback);
    PyErr_NormalizeException(&type, &value, &traceback);
    Ref owned_type = Ref::steal(type);
    Ref owned_traceback = Ref::steal(traceback);
    if (value != nullptr && traceback != nullptr) PyException_SetTraceback(value, traceback);
    return Ref::steal(value);
}

void restore_exception(Ref exception) noexcept {
    if (!exception) return;
    PyObject* type = reinterpret_cast<PyObject*>(Py_TYPE(exception.get()));
    Py_INCREF(type);
    PyObject* traceback = PyException_GetTraceback(exception.get());
    PyErr_Restore(type, exception.release(), traceback);  // steals all three
}

void raise_with_cause(PyObject* type, PyObject* message, Ref cause) noexcept {
    if (type == nullptr || message == nullptr) return;
    Ref failure = Ref::steal(PyObject_CallFunctionObjArgs(type, message, nullptr));
    if (!failure) return;
    if (cause) PyException_SetCause(failure.get(), cause.release());  // steals the cause
    PyErr_SetObject(type, failure.get());
}

void raise_result_failure() noexcept {
    PyErr_WriteUnraisable(nullptr);
    raise_internal_failure("the interpreter could not create a result container");
}

void raise_current_exception() noexcept {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        PyErr_NoMemory();
    } catch (const std::exception& failure) {
        const std::string_view what = failure.what();
        raise_internal_failure(what.empty() ? generic_failure : what);
    } catch (...) {
        raise_internal_failure(generic_failure);
    }
}

}  // namespace tessary::module
