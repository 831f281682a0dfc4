// The report as compact JSON text: one array, one object per collision.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "rules/records.hpp"

namespace tessary::report {

struct Report {
    std::vector<Collision> collisions;

    // Never fails: non-finite numbers are written as null, and the texts are
    // valid UTF-8 because they only ever come from Python str objects.
    std::string to_json() const;
};

// One collision as the writer reads it: the texts are borrowed, so callers
// holding records of another shape write them without copying.
struct CollisionView {
    CollisionKind kind;
    std::string_view a_role;
    std::string_view a_id;
    Box a_box;
    std::string_view b_role;
    std::string_view b_id;
    Box b_box;
    double severity;
};

// Keys and punctuation (about 100 bytes) and nine numbers of at most 40.
inline constexpr std::size_t record_reservation = 100 + 9 * 40;

// One object, without a separating comma.
void append_collision(std::string& out, const CollisionView& collision);

// The whole array: "[", the objects separated by ",", "]". `view_at(i)` gives
// the i-th of `count` collisions; `reservation` is the expected text size.
// Running out of memory propagates: a truncated or empty text would read as a
// clean figure.
template <class ViewAt>
std::string write_array(std::size_t count, std::size_t reservation, ViewAt&& view_at) {
    std::string out;
    out.reserve(reservation);
    out.push_back('[');
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) out.push_back(',');
        append_collision(out, view_at(i));
    }
    out.push_back(']');
    return out;
}

// Exposed for testing the layout of numbers on its own.
void append_json_number(std::string& out, double value);

}  // namespace tessary::report
