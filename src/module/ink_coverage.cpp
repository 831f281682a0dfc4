// ink_coverage: argument conversion and the hand-off to the pixel count. The
// only file of the module that sees NumPy's headers.
#include "module/python.hpp"

#include <cstdint>
#include <exception>
#include <utility>

#define NPY_NO_DEPRECATED_API NPY_2_0_API_VERSION
#define NPY_TARGET_VERSION NPY_2_0_API_VERSION
// We load NumPy's function table ourselves (see load_numpy), so NumPy's
// import_array machinery is left out and only the table's storage declared.
#define PY_ARRAY_UNIQUE_SYMBOL tessary_numpy_api
#define NO_IMPORT_ARRAY
#include <numpy/arrayobject.h>

#include "module/args.hpp"
#include "module/functions.hpp"
#include "pixel/ink.hpp"

// The storage that NumPy's headers declare: its function table and the
// feature version of the NumPy that we run on. Hidden, like every symbol here.
void** PyArray_API = nullptr;
int PyArray_RUNTIME_VERSION = 0;

namespace tessary::module {
namespace {

constexpr const char* ink_coverage_params[] = {"buffer", "region", "bg", "tol"};
constexpr ArgSpec ink_coverage_spec{"ink_coverage", {}, ink_coverage_params, 3};

constexpr std::uint8_t default_tol = 8;

// Raises the internal failure "Failed to access NumPy array API capsule: <error>",
// with the pending error as its cause.
[[gnu::cold, gnu::noinline]] bool fail_numpy_api() noexcept {
    Ref cause = fetch_exception();
    Ref message = Ref::steal(
        cause ? PyUnicode_FromFormat("Failed to access NumPy array API capsule: %S", cause.get())
              : PyUnicode_FromString("Failed to access NumPy array API capsule"));
    raise_with_cause(internal_failure_type(), message.get(), std::move(cause));
    return false;
}

// NumPy's function table, looked up by the first call and kept for the life of
// the process; a failed lookup is tried again by the next call. Runs with the
// interpreter lock held, so the table pointer needs no other guard.
bool load_numpy() noexcept {
    if (PyArray_API != nullptr) return true;
    Ref multiarray = Ref::steal(PyImport_ImportModule("numpy._core.multiarray"));
    if (!multiarray) return fail_numpy_api();
    Ref capsule = Ref::steal(PyObject_GetAttrString(multiarray.get(), "_ARRAY_API"));
    if (!capsule) return fail_numpy_api();
    void* table = PyCapsule_GetPointer(capsule.get(), nullptr);
    if (table == nullptr) return fail_numpy_api();

    PyArray_API = static_cast<void**>(table);
    const unsigned abi = PyArray_GetNDArrayCVersion();
    const unsigned features = PyArray_GetNDArrayCFeatureVersion();
    if (abi > NPY_VERSION || features < NPY_FEATURE_VERSION) {
        PyArray_API = nullptr;
        PyErr_Format(PyExc_ImportError,
                     "built for NumPy C ABI 0x%x with feature version 0x%x or later, "
                     "but the NumPy in use has ABI 0x%x with feature version 0x%x",
                     static_cast<unsigned>(NPY_VERSION), static_cast<unsigned>(NPY_FEATURE_VERSION),
                     abi, features);
        return fail_numpy_api();
    }
    PyArray_RUNTIME_VERSION = static_cast<int>(features);
    return true;
}

// A 3-d ndarray (or subclass) of bytes; `out` keeps it alive for the call.
bool to_array(PyObject* object, Ref& out) noexcept {
    if (!PyArray_Check(object)) {
        raise_not_instance(object, "ndarray");
        return false;
    }
    auto* array = reinterpret_cast<PyArrayObject*>(object);
    if (PyArray_NDIM(array) != 3) {
        PyErr_Format(PyExc_TypeError, "expected an array of 3 dimensions, got %d dimensions",
                     PyArray_NDIM(array));
        return false;
    }
    Ref bytes = Ref::steal(reinterpret_cast<PyObject*>(PyArray_DescrFromType(NPY_UINT8)));
    if (!bytes) return false;
    if (!PyArray_EquivTypes(PyArray_DESCR(array), reinterpret_cast<PyArray_Descr*>(bytes.get()))) {
        PyErr_Format(PyExc_TypeError, "expected an array of dtype uint8, got dtype %S",
                     reinterpret_cast<PyObject*>(PyArray_DESCR(array)));
        return false;
    }
    out = Ref::borrow(object);
    return true;
}

// An int or an object with __index__, from 0 to 2**64 - 1; out-of-range values
// keep the interpreter's own OverflowError.
bool to_u64(PyObject* object, std::uint64_t& out) noexcept {
    Ref index = Ref::steal(PyNumber_Index(object));
    if (!index) return false;
    const unsigned long long value = PyLong_AsUnsignedLongLong(index.get());
    if (value == static_cast<unsigned long long>(-1) && PyErr_Occurred()) return false;
    out = value;
    return true;
}

bool to_byte(PyObject* object, std::uint8_t& out) noexcept {
    Ref index = Ref::steal(PyNumber_Index(object));
    if (!index) return false;
    const long long value = PyLong_AsLongLong(index.get());
    if (value == -1 && PyErr_Occurred()) return false;
    if (value < 0 || value > 255) {
        PyErr_SetString(PyExc_OverflowError, "out of range integral type conversion attempted");
        return false;
    }
    out = static_cast<std::uint8_t>(value);
    return true;
}

// Borrowed items below: a tuple cannot drop them while we convert.
bool to_region(PyObject* object, pixel::Region& out) noexcept {
    return check_tuple(object, 4) && to_u64(PyTuple_GetItem(object, 0), out.row0) &&
           to_u64(PyTuple_GetItem(object, 1), out.col0) &&
           to_u64(PyTuple_GetItem(object, 2), out.row1) &&
           to_u64(PyTuple_GetItem(object, 3), out.col1);
}

bool to_rgb(PyObject* object, pixel::Rgb& out) noexcept {
    return check_tuple(object, 3) && to_byte(PyTuple_GetItem(object, 0), out.red) &&
           to_byte(PyTuple_GetItem(object, 1), out.green) &&
           to_byte(PyTuple_GetItem(object, 2), out.blue);
}

pixel::BufferView view_of(PyObject* object) noexcept {
    auto* array = reinterpret_cast<PyArrayObject*>(object);
    const npy_intp* shape = PyArray_DIMS(array);
    const npy_intp* strides = PyArray_STRIDES(array);
    // The element type is one byte wide, so byte strides are element strides.
    return pixel::BufferView{
        static_cast<const std::uint8_t*>(PyArray_DATA(array)),
        static_cast<std::uint64_t>(shape[0]),
        static_cast<std::uint64_t>(shape[1]),
        static_cast<std::uint64_t>(shape[2]),
        static_cast<std::int64_t>(strides[0]),
        static_cast<std::int64_t>(strides[1]),
        static_cast<std::int64_t>(strides[2]),
    };
}

// Everything the count needs, converted while the interpreter lock is held.
struct Call {
    PyObject* array = nullptr;  // a strong reference, given up by hand (see ink_coverage)
    pixel::BufferView view;
    pixel::Region region;
    pixel::Rgb bg;
    std::uint8_t tol = default_tol;
};

bool prepare(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames, Call& call) noexcept {
    Bound bound;
    if (!bind(ink_coverage_spec, args, nargs, kwnames, bound)) return false;
    if (!load_numpy()) return false;
    Ref array;
    if (!to_array(bound[0], array)) return fail_argument("buffer");
    if (!to_region(bound[1], call.region)) return fail_argument("region");
    if (!to_rgb(bound[2], call.bg)) return fail_argument("bg");
    if (bound[3] != nullptr && !to_byte(bound[3], call.tol)) return fail_argument("tol");
    call.view = view_of(array.get());
    call.array = array.release();
    return true;
}

// A count that failed leaves its exception here, for its own thread to raise
// once it holds the lock again: the result itself stays trivially destructible.
thread_local std::exception_ptr count_failure;

struct Count {
    double coverage = 0.0;
    bool failed = false;
};

[[gnu::noinline]] bool prepared(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames, Call& call) noexcept {
    return guarded(false, [&] { return prepare(args, nargs, kwnames, call); });
}

[[gnu::noinline]] Count count(const Call& call) noexcept {
    Count result;
    try {
        result.coverage = pixel::ink_coverage(call.view, call.region, call.bg, call.tol);
    } catch (...) {
        count_failure = std::current_exception();
        result.failed = true;
    }
    return result;
}

[[gnu::noinline]] PyObject* finished(Count result) noexcept {
    return guarded<PyObject*>(nullptr, [&]() -> PyObject* {
        if (result.failed) std::rethrow_exception(std::exchange(count_failure, nullptr));
        return PyFloat_FromDouble(result.coverage);
    });
}

// Deliberately not noexcept, and with no try block, no object with a
// destructor and no inlined helper that has one. When the interpreter is
// finalizing, a daemon thread that comes back for the lock is ended inside
// Py_END_ALLOW_THREADS by pthread_exit, whose forced unwinding aborts the
// process at a noexcept frame or a catch (...) that swallows it; and a C++
// runtime linked into the module (as in the wheels built for old Linux) has an
// unwinder of its own that cannot read the frames glibc's unwinder hands it, so
// this frame must give it nothing to run. Everything that can fail is in the
// noexcept helpers above.
PyObject* ink_coverage(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    Call call;
    if (!prepared(args, nargs, kwnames, call)) return nullptr;
    Count result;
    // Safe without the lock: the count reads only the view copied above, and
    // `call.array` keeps the memory it points into alive until we return.
    Py_BEGIN_ALLOW_THREADS
    result = count(call);
    Py_END_ALLOW_THREADS
    Py_DECREF(call.array);
    return finished(result);
}

}  // namespace

PyMethodDef ink_coverage_method = {
    "ink_coverage", reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(ink_coverage)),
    METH_FASTCALL | METH_KEYWORDS,
    "ink_coverage(buffer, region, bg, tol=8)\n--\n\n"
    "Foreground ink coverage of a region of an RGBA buffer.\n"
    "region is (row0, col0, row1, col1) in buffer pixels."};

}  // namespace tessary::module
