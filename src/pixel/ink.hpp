#pragma once

#include <cstdint>

#include "pixel/view.hpp"

namespace tessary::pixel {

// The fraction of the region's pixels inside the buffer whose red, green or
// blue differs from `bg` by more than `tol`; 0.0 for an empty clamped region.
// Rows are counted on the process-wide worker pool; the caller only waits.
// Throws std::out_of_range for a non-empty region of a buffer with fewer than
// three channels, and std::runtime_error when the pool cannot be started.
double ink_coverage(const BufferView& buffer, const Region& region, Rgb bg, std::uint8_t tol);

}  // namespace tessary::pixel
