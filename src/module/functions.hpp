// The definitions of the module-level functions; module.cpp adds them in order.
#pragma once

#include "module/python.hpp"

namespace tessary::module {

extern PyMethodDef classify_method;
extern PyMethodDef ink_coverage_method;

}  // namespace tessary::module
