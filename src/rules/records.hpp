// The records that the rules produce and that the report and module share.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tessary {

// (x0, y0, x1, y1) in figure pixels; never normalised or validated.
struct Box {
    double x0;
    double y0;
    double x1;
    double y1;
};

}  // namespace tessary

namespace tessary::report {

enum class CollisionKind : std::uint8_t {
    text_text = 0,
    clipping = 1,
    over_data = 2,
    element_element = 3,
};

std::string_view kind_name(CollisionKind kind) noexcept;

// Exact, case-sensitive; every unrecognised text (the empty one included)
// means element_element, so no kind text is ever refused.
CollisionKind kind_from_text(std::string_view text) noexcept;

// One collision between elements a and b, in the fields' JSON order. The rules
// produce it with a CollisionKind; a collision built from Python keeps its kind
// as the free text it was given and maps it only when written.
template <class Kind>
struct BasicCollision {
    Kind kind;
    std::string a_role;
    std::string a_id;
    Box a_box;
    std::string b_role;
    std::string b_id;
    Box b_box;
    double severity;
};

using Collision = BasicCollision<CollisionKind>;
using TextKindCollision = BasicCollision<std::string>;

}  // namespace tessary::report

namespace tessary::rules {

struct TaggedBox {
    Box bx;
    Box clip;
    std::string role;
    std::string id;
};

struct Thresholds {
    double overlap_fraction;
    double clip_px;
};

// A legend or annotation over a data artist; the data side's role is
// always "data-artist", so it is not stored.
struct OverDataCandidate {
    std::string decoration_id;
    std::string decoration_role;
    Box decoration_box;
    std::string data_id;
    Box data_box;
    double overlap;
};

}  // namespace tessary::rules
