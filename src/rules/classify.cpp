#include "rules/classify.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "rules/roles.hpp"

namespace tessary::rules {
namespace {

// A NaN difference counts as no extent at all.
double positive_part(double d) noexcept { return d > 0.0 ? d : 0.0; }

// In the overlap measure a NaN operand never wins: the other one is taken.
double lesser_of(double a, double b) noexcept {
    if (std::isnan(a)) return b;
    if (std::isnan(b)) return a;
    return b < a ? b : a;
}

double greater_of(double a, double b) noexcept {
    if (std::isnan(a)) return b;
    if (std::isnan(b)) return a;
    return a < b ? b : a;
}

double area(const Box& b) noexcept {
    return positive_part(b.x1 - b.x0) * positive_part(b.y1 - b.y0);
}

double overlap_with_areas(const Box& p, double area_p, const Box& q, double area_q) noexcept {
    const double smaller = lesser_of(area_p, area_q);
    if (smaller <= 0.0) return 0.0;
    const double width = positive_part(lesser_of(p.x1, q.x1) - greater_of(p.x0, q.x0));
    const double height = positive_part(lesser_of(p.y1, q.y1) - greater_of(p.y0, q.y0));
    return width * height / smaller;
}

double overhang(const Box& bx, const Box& clip) noexcept {
    return std::max({positive_part(clip.x0 - bx.x0), positive_part(clip.y0 - bx.y0),
                     positive_part(bx.x1 - clip.x1), positive_part(bx.y1 - clip.y1)});
}

void add_clipping(std::vector<report::Collision>& out, const TaggedBox& box, double severity) {
    out.push_back(report::Collision{report::CollisionKind::clipping, box.role, box.id, box.bx,
                                    "clip", "clip", box.clip, severity});
}

void add_pair(std::vector<report::Collision>& out, report::CollisionKind kind,
              const TaggedBox& earlier, const TaggedBox& later, double severity) {
    out.push_back(report::Collision{kind, earlier.role, earlier.id, earlier.bx, later.role,
                                    later.id, later.bx, severity});
}

void add_candidate(std::vector<OverDataCandidate>& out, const TaggedBox& decoration,
                   const TaggedBox& data, double overlap) {
    out.push_back(OverDataCandidate{decoration.id, decoration.role, decoration.bx, data.id,
                                    data.bx, overlap});
}


// Roles and areas, worked out once per box rather than once per pair, next to
// a copy of the box: pairs then read one compact array instead of the records.
struct Prepared {
    Box bx;
    double area;
    std::uint8_t groups;
};

// With a positive threshold and finite boxes whose extents do not overflow, a
// pair yields a finding only if its intersection has positive width and
// height: otherwise the measure is exactly 0 (never NaN), which the threshold
// rejects. Anything else (NaN or non-positive threshold, an infinite or NaN
// coordinate, an extent too large for a double) keeps the all-pairs loop.
bool sweep_is_exact(std::span<const TaggedBox> boxes, const Thresholds& thresholds) noexcept {
    if (!(thresholds.overlap_fraction > 0.0)) return false;
    if (boxes.size() > std::numeric_limits<std::uint32_t>::max()) return false;
    for (const TaggedBox& box : boxes) {
        const Box& b = box.bx;
        if (!std::isfinite(b.x1 - b.x0) || !std::isfinite(b.y1 - b.y0) || !std::isfinite(b.x0) ||
            !std::isfinite(b.y0)) {
            return false;
        }
    }
    return true;
}

using Pair = std::pair<std::uint32_t, std::uint32_t>;

struct Entry {
    double x0, x1, y0, y1;
    std::uint32_t index;
};

// Horizontal bands of equal height over the boxes' y range. Monotone in y, so
// a box spans the bands from band(y0) to band(y1), and the top edge of any
// intersection, lying inside both boxes, falls in a band that both span.
struct Bands {
    double y_min;
    double height;
    std::size_t count;

    std::size_t of(double y) const noexcept {
        const double at = std::floor((y - y_min) / height);
        if (!(at > 0.0)) return 0;
        return at >= static_cast<double>(count - 1) ? count - 1 : static_cast<std::size_t>(at);
    }
};

// About this many boxes per band keeps each band's sweep short.
constexpr std::size_t boxes_per_band = 16;
// Tall boxes copied into many bands would cost more than they save.
constexpr std::size_t max_copies_per_box = 4;

// Every pair (i < j) of boxes with a role in some pair rule and a positive
// area whose intersection has positive width and height, in the all-pairs
// loop's order (i, then j). Within each band, sort and sweep on x0: a box
// meets the later ones whose x0 lies before its own x1; a pair seen in several
// bands is kept only in the band of its intersection's top edge.
std::vector<Pair> intersecting_pairs(std::span<const TaggedBox> boxes,
                                     const std::vector<Prepared>& prepared) {
    std::vector<Entry> entries;
    double y_min = std::numeric_limits<double>::infinity();
    double y_max = -y_min;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        if (prepared[i].groups == no_group || !(prepared[i].area > 0.0)) continue;
        const Box& b = prepared[i].bx;
        entries.push_back({b.x0, b.x1, b.y0, b.y1, static_cast<std::uint32_t>(i)});
        y_min = std::min(y_min, b.y0);
        y_max = std::max(y_max, b.y1);
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.x0 < b.x0; });

    // Bands about twice the mean box height: most boxes then lie in one or two.
    double height_sum = 0.0;
    for (const Entry& e : entries) height_sum += e.y1 - e.y0;
    const double mean_height = height_sum / static_cast<double>(std::max<std::size_t>(1, entries.size()));
    const double wanted = std::max((y_max - y_min) / static_cast<double>(std::max<std::size_t>(
                                                         1, entries.size() / boxes_per_band)),
                                   2.0 * mean_height);
    const double count = std::ceil((y_max - y_min) / wanted);
    Bands bands{y_min, wanted,
                count >= 1.0 && count < static_cast<double>(entries.size() + 1)
                    ? static_cast<std::size_t>(count)
                    : 1};
    if (!(bands.height > 0.0) || !std::isfinite(bands.height)) bands = {y_min, 1.0, 1};
    std::size_t copies = 0;
    for (const Entry& e : entries) copies += bands.of(e.y1) - bands.of(e.y0) + 1;
    if (copies > max_copies_per_box * entries.size()) bands = {y_min, 1.0, 1};

    // Entries by band, each band in x0 order (filled from the sorted list).
    std::vector<std::size_t> start(bands.count + 1, 0);
    for (const Entry& e : entries) {
        for (std::size_t band = bands.of(e.y0), last = bands.of(e.y1); band <= last; ++band) {
            ++start[band + 1];
        }
    }
    for (std::size_t band = 0; band < bands.count; ++band) start[band + 1] += start[band];
    std::vector<Entry> by_band(start.back());
    std::vector<std::size_t> fill(start.begin(), start.end() - 1);
    for (const Entry& e : entries) {
        for (std::size_t band = bands.of(e.y0), last = bands.of(e.y1); band <= last; ++band) {
            by_band[fill[band]++] = e;
        }
    }

    std::vector<Pair> pairs;
    for (std::size_t band = 0; band < bands.count; ++band) {
        const std::size_t end = start[band + 1];
        for (std::size_t a = start[band]; a < end; ++a) {
            const Entry& p = by_band[a];
            for (std::size_t b = a + 1; b < end && by_band[b].x0 < p.x1; ++b) {
                const Entry& q = by_band[b];
                const double top = std::max(p.y0, q.y0);
                if (std::min(p.y1, q.y1) - top <= 0.0 || bands.of(top) != band) continue;
                pairs.push_back(p.index < q.index ? Pair{p.index, q.index}
                                                  : Pair{q.index, p.index});
            }
        }
    }
    // Into the all-pairs order: grouped by i with a counting pass, then each
    // group (a box's few neighbours) sorted by j.
    std::vector<std::size_t> first(boxes.size() + 1, 0);
    for (const Pair& pair : pairs) ++first[pair.first + 1];
    for (std::size_t i = 0; i < boxes.size(); ++i) first[i + 1] += first[i];
    std::vector<Pair> ordered(pairs.size());
    std::vector<std::size_t> next(first.begin(), first.end() - 1);
    for (const Pair& pair : pairs) ordered[next[pair.first]++] = pair;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        std::sort(ordered.begin() + static_cast<std::ptrdiff_t>(first[i]),
                  ordered.begin() + static_cast<std::ptrdiff_t>(first[i + 1]));
    }
    return ordered;
}

}  // namespace

double overlap(const Box& p, const Box& q) noexcept {
    return overlap_with_areas(p, area(p), q, area(q));
}

Findings classify(std::span<const TaggedBox> boxes, const Thresholds& thresholds) {
    Findings findings;

    for (const TaggedBox& box : boxes) {
        const double severity = overhang(box.bx, box.clip);
        if (severity > thresholds.clip_px) {
            add_clipping(findings.collisions, box, severity);
        }
    }

    // Roles and areas are worked out once per box, not once per pair.
    std::vector<Prepared> prepared;
    prepared.reserve(boxes.size());
    for (const TaggedBox& box : boxes) {
        prepared.push_back({box.bx, area(box.bx), role_groups(box.role)});
    }

    // One pair, judged exactly as the all-pairs loop judges it.
    const auto visit = [&](std::size_t i, std::size_t j) {
        const Prepared mine = prepared[i];
        const double measure =
            overlap_with_areas(mine.bx, mine.area, prepared[j].bx, prepared[j].area);
        // NaN on either side compares false and lets the pair through.
        if (measure < thresholds.overlap_fraction) return;

        const std::uint8_t theirs = prepared[j].groups;
        if (mine.groups & theirs & text_group) {
            add_pair(findings.collisions, report::CollisionKind::text_text, boxes[i], boxes[j],
                     measure);
        } else if (mine.groups & theirs & element_group) {
            add_pair(findings.collisions, report::CollisionKind::element_element, boxes[i],
                     boxes[j], measure);
        } else if ((mine.groups & decoration_group) && (theirs & data_group)) {
            add_candidate(findings.candidates, boxes[i], boxes[j], measure);
        } else if ((mine.groups & data_group) && (theirs & decoration_group)) {
            add_candidate(findings.candidates, boxes[j], boxes[i], measure);
        }
    };

    if (sweep_is_exact(boxes, thresholds)) {
        const std::vector<Pair> pairs = intersecting_pairs(boxes, prepared);
        // Room for the most findings there can be: pages of a large reservation
        // that stays unused are never touched, while regrowth copies every record.
        findings.collisions.reserve(findings.collisions.size() + pairs.size());
        findings.candidates.reserve(pairs.size());
        for (const auto& [i, j] : pairs) visit(i, j);
    } else {
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            for (std::size_t j = i + 1; j < boxes.size(); ++j) visit(i, j);
        }
    }
    return findings;
}

}  // namespace tessary::rules
