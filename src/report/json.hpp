// The report as compact JSON text: one array, one object per collision.
#pragma once

#include <string>
#include <vector>

#include "rules/records.hpp"

namespace tessary::report {

struct Report {
    std::vector<Collision> collisions;

    // Never fails: non-finite numbers are written as null, and the texts are
    // valid UTF-8 because they only ever come from Python str objects.
    std::string to_json() const;
};

// Exposed for testing the layout of numbers on its own.
void append_json_number(std::string& out, double value);

}  // namespace tessary::report
