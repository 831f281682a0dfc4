/* The floor for classify's input conversion: read every (bx, clip, role, id)
   tuple through the C API and touch each value, converting nothing else.
   Built and loaded by bench/run.py. */
#define PY_SSIZE_T_CLEAN
#include <Python.h>

double read_boxes(PyObject *list) {
    double sum = 0.0;
    Py_ssize_t n = PyList_Size(list);
    for (Py_ssize_t k = 0; k < n; ++k) {
        PyObject *item = PyList_GetItem(list, k);
        for (Py_ssize_t b = 0; b < 2; ++b) {
            PyObject *box = PyTuple_GetItem(item, b);
            for (Py_ssize_t c = 0; c < 4; ++c) sum += PyFloat_AsDouble(PyTuple_GetItem(box, c));
        }
        for (Py_ssize_t t = 2; t < 4; ++t) {
            Py_ssize_t size = 0;
            const char *text = PyUnicode_AsUTF8AndSize(PyTuple_GetItem(item, t), &size);
            sum += (double)size + (text != NULL ? (double)(unsigned char)text[0] : 0.0);
        }
    }
    return sum;
}
