// The Python class CollisionReport.
#pragma once

#include "module/python.hpp"

namespace tessary::module {

// Created on first request, then the same object for the life of the process.
PyTypeObject* report_type() noexcept;

}  // namespace tessary::module
