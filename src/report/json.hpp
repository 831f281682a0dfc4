// The report as compact JSON text: one array, one object per collision.
#pragma once

#include <string>
#include <vector>

#include "rules/records.hpp"

namespace tessary::report {

// An ordered list of collisions, written to JSON in that order. `Report` holds
// the rules' records; the Python CollisionReport holds a TextKindReport, whose
// kind texts are mapped to kinds as they are written.
template <class Record>
struct BasicReport {
    std::vector<Record> collisions;

    // Non-finite numbers are written as null, and the texts are valid UTF-8
    // because they only ever come from Python str objects, so the only failure
    // is running out of memory. That propagates: a truncated or empty text
    // would read as a clean figure.
    std::string to_json() const;
};

using Report = BasicReport<Collision>;
using TextKindReport = BasicReport<TextKindCollision>;

extern template struct BasicReport<Collision>;
extern template struct BasicReport<TextKindCollision>;

}  // namespace tessary::report
