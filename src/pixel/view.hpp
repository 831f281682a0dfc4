// The records that the ink count works on: a strided byte image, a region of
// it and a colour. Nothing here knows about Python or NumPy.
#pragma once

#include <cstdint>

namespace tessary::pixel {

// Element (r, c, k) lies at base + r * row_stride + c * col_stride + k * channel_stride.
// Strides are in elements (one byte each) and may be zero or negative.
struct BufferView {
    const std::uint8_t* base = nullptr;
    std::uint64_t rows = 0;
    std::uint64_t cols = 0;
    std::uint64_t channels = 0;
    std::int64_t row_stride = 0;
    std::int64_t col_stride = 0;
    std::int64_t channel_stride = 0;
};

// Half-open: row0 <= r < row1, col0 <= c < col1. Bounds past the buffer or in
// the wrong order are allowed; they are clamped, never rejected.
struct Region {
    std::uint64_t row0 = 0;
    std::uint64_t col0 = 0;
    std::uint64_t row1 = 0;
    std::uint64_t col1 = 0;
};

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

}  // namespace tessary::pixel
