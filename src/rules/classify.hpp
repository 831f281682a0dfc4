#pragma once

#include <span>
#include <vector>

#include "rules/records.hpp"

namespace tessary::rules {

struct Findings {
    std::vector<report::Collision> collisions;  // clipping first, then pairs
    std::vector<OverDataCandidate> candidates;
};

// Pure: reads the boxes, keeps nothing. Any box or threshold is accepted,
// NaN and infinities included; they go through the arithmetic unchanged.
Findings classify(std::span<const TaggedBox> boxes, const Thresholds& thresholds);

}  // namespace tessary::rules
