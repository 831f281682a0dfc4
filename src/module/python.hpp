// Every binding file includes this first: it pins the stable ABI we build for.
#pragma once

#define PY_SSIZE_T_CLEAN
#include <Python.h>

#if !defined(Py_LIMITED_API) || Py_LIMITED_API + 0 != 0x030A0000
#error "tessary._core must be built against the CPython 3.10 limited API (one abi3 module)"
#endif
