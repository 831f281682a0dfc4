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
    std::uint32_t index;
    std::uint8_t groups;
};

Prepared prepare(const TaggedBox& box, std::size_t index) noexcept {
    return {box.bx, area(box.bx), static_cast<std::uint32_t>(index), role_groups(box.role)};
}

// What the pair rules make of one pair, the earlier box (in input order) first.
enum class Verdict : std::uint8_t {
    none,
    text_text,
    element_element,
    earlier_over_data,  // the earlier box is the decoration
    later_over_data,
};

struct Judged {
    Verdict verdict;
    double measure;
};

// The one place where a pair is judged, whichever way it was found.
Judged judge(const Prepared& earlier, const Prepared& later, double threshold) noexcept {
    const double measure = overlap_with_areas(earlier.bx, earlier.area, later.bx, later.area);
    // NaN on either side compares false and lets the pair through.
    if (measure < threshold) return {Verdict::none, measure};
    const std::uint8_t mine = earlier.groups;
    const std::uint8_t theirs = later.groups;
    if (mine & theirs & text_group) return {Verdict::text_text, measure};
    if (mine & theirs & element_group) return {Verdict::element_element, measure};
    if ((mine & decoration_group) && (theirs & data_group)) return {Verdict::earlier_over_data, measure};
    if ((mine & data_group) && (theirs & decoration_group)) return {Verdict::later_over_data, measure};
    return {Verdict::none, measure};
}

void emit(Findings& findings, Verdict verdict, const TaggedBox& earlier, const TaggedBox& later,
          double measure) {
    switch (verdict) {
        case Verdict::none:
            return;
        case Verdict::text_text:
            return add_pair(findings.collisions, report::CollisionKind::text_text, earlier, later,
                            measure);
        case Verdict::element_element:
            return add_pair(findings.collisions, report::CollisionKind::element_element, earlier,
                            later, measure);
        case Verdict::earlier_over_data:
            return add_candidate(findings.candidates, earlier, later, measure);
        case Verdict::later_over_data:
            return add_candidate(findings.candidates, later, earlier, measure);
    }
}

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

// A pair that yields a finding, as the sweep meets it.
struct Found {
    std::uint32_t earlier;
    std::uint32_t later;
    double measure;
    Verdict verdict;
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

Bands choose_bands(const std::vector<Prepared>& entries) noexcept {
    double y_min = std::numeric_limits<double>::infinity();
    double y_max = -y_min;
    double height_sum = 0.0;
    for (const Prepared& e : entries) {
        y_min = std::min(y_min, e.bx.y0);
        y_max = std::max(y_max, e.bx.y1);
        height_sum += e.bx.y1 - e.bx.y0;
    }
    // Bands about twice the mean box height: most boxes then lie in one or two.
    const std::size_t n = std::max<std::size_t>(1, entries.size());
    const double mean_height = height_sum / static_cast<double>(n);
    const double wanted = std::max(
        (y_max - y_min) / static_cast<double>(std::max<std::size_t>(1, n / boxes_per_band)),
        2.0 * mean_height);
    const double count = std::ceil((y_max - y_min) / wanted);
    const Bands single{y_min, 1.0, 1};
    if (!(wanted > 0.0) || !std::isfinite(wanted) || !(count >= 1.0) ||
        !(count < static_cast<double>(n + 1))) {
        return single;
    }
    const Bands bands{y_min, wanted, static_cast<std::size_t>(count)};
    std::size_t copies = 0;
    for (const Prepared& e : entries) copies += bands.of(e.bx.y1) - bands.of(e.bx.y0) + 1;
    return copies > max_copies_per_box * entries.size() ? single : bands;
}

// Every pair (i < j) of boxes with a role in some pair rule and a positive
// area that yields a finding, in the all-pairs loop's order (i, then j). Only
// pairs whose intersection has positive width and height are judged: within
// each band, sort and sweep on x0, a box meeting the later ones whose x0 lies
// before its own x1; a pair seen in several bands is judged only in the band
// of its intersection's top edge.
std::vector<Found> intersecting_findings(std::span<const TaggedBox> boxes, double threshold) {
    std::vector<Prepared> entries;
    entries.reserve(boxes.size());
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const Prepared p = prepare(boxes[i], i);
        if (p.groups != no_group && p.area > 0.0) entries.push_back(p);
    }
    std::sort(entries.begin(), entries.end(),
              [](const Prepared& a, const Prepared& b) { return a.bx.x0 < b.bx.x0; });
    const Bands bands = choose_bands(entries);

    // Entries by band, each band in x0 order (filled from the sorted list).
    std::vector<std::size_t> start(bands.count + 1, 0);
    for (const Prepared& e : entries) {
        for (std::size_t band = bands.of(e.bx.y0), last = bands.of(e.bx.y1); band <= last; ++band) {
            ++start[band + 1];
        }
    }
    for (std::size_t band = 0; band < bands.count; ++band) start[band + 1] += start[band];
    std::vector<Prepared> by_band(start.back());
    std::vector<std::size_t> fill(start.begin(), start.end() - 1);
    for (const Prepared& e : entries) {
        for (std::size_t band = bands.of(e.bx.y0), last = bands.of(e.bx.y1); band <= last; ++band) {
            by_band[fill[band]++] = e;
        }
    }
    entries = {};

    // Judged here, while both boxes are at hand in the band's compact array.
    std::vector<Found> found;
    for (std::size_t band = 0; band < bands.count; ++band) {
        const std::size_t end = start[band + 1];
        for (std::size_t a = start[band]; a < end; ++a) {
            const Prepared& p = by_band[a];
            for (std::size_t b = a + 1; b < end && by_band[b].bx.x0 < p.bx.x1; ++b) {
                const Prepared& q = by_band[b];
                const double top = std::max(p.bx.y0, q.bx.y0);
                if (std::min(p.bx.y1, q.bx.y1) - top <= 0.0 || bands.of(top) != band) continue;
                const Prepared& earlier = p.index < q.index ? p : q;
                const Prepared& later = p.index < q.index ? q : p;
                const Judged judged = judge(earlier, later, threshold);
                if (judged.verdict != Verdict::none) {
                    found.push_back({earlier.index, later.index, judged.measure, judged.verdict});
                }
            }
        }
    }
    // Into the all-pairs order: grouped by the earlier box with a counting
    // pass, then each group (a box's few neighbours) sorted by the later one.
    std::vector<std::size_t> first(boxes.size() + 1, 0);
    for (const Found& f : found) ++first[f.earlier + 1];
    for (std::size_t i = 0; i < boxes.size(); ++i) first[i + 1] += first[i];
    std::vector<Found> ordered(found.size());
    std::vector<std::size_t> next(first.begin(), first.end() - 1);
    for (const Found& f : found) ordered[next[f.earlier]++] = f;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        std::sort(ordered.begin() + static_cast<std::ptrdiff_t>(first[i]),
                  ordered.begin() + static_cast<std::ptrdiff_t>(first[i + 1]),
                  [](const Found& a, const Found& b) { return a.later < b.later; });
    }
    return ordered;
}

}  // namespace

Findings classify(std::span<const TaggedBox> boxes, const Thresholds& thresholds) {
    Findings findings;

    for (const TaggedBox& box : boxes) {
        const double severity = overhang(box.bx, box.clip);
        if (severity > thresholds.clip_px) {
            add_clipping(findings.collisions, box, severity);
        }
    }

    if (sweep_is_exact(boxes, thresholds)) {
        const std::vector<Found> found = intersecting_findings(boxes, thresholds.overlap_fraction);
        std::size_t candidates = 0;
        for (const Found& f : found) {
            candidates += f.verdict == Verdict::earlier_over_data || f.verdict == Verdict::later_over_data;
        }
        findings.collisions.reserve(findings.collisions.size() + found.size() - candidates);
        findings.candidates.reserve(candidates);
        for (const Found& f : found) {
            emit(findings, f.verdict, boxes[f.earlier], boxes[f.later], f.measure);
        }
        return findings;
    }

    std::vector<Prepared> prepared;
    prepared.reserve(boxes.size());
    for (std::size_t i = 0; i < boxes.size(); ++i) prepared.push_back(prepare(boxes[i], i));
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        for (std::size_t j = i + 1; j < boxes.size(); ++j) {
            const Judged judged = judge(prepared[i], prepared[j], thresholds.overlap_fraction);
            emit(findings, judged.verdict, boxes[i], boxes[j], judged.measure);
        }
    }
    return findings;
}

}  // namespace tessary::rules
