#include "pixel/ink.hpp"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

#include "pixel/pool.hpp"

namespace tessary::pixel {
namespace {

// A count of at most this many pixels fits the 32-bit counter that lets the
// compiler keep the inner loop in vector registers.
constexpr std::uint64_t block_pixels = std::uint64_t{1} << 30;

inline std::uint8_t distance(std::uint8_t a, std::uint8_t b) noexcept {
    return static_cast<std::uint8_t>(a > b ? a - b : b - a);
}

// 1 for an ink pixel, 0 for background. All three channels are always tested
// (the count is the same as stopping at the first that differs) so that the
// test has no branch and whole rows vectorise.
inline std::uint32_t ink(std::uint8_t red, std::uint8_t green, std::uint8_t blue, Rgb bg,
                         std::uint8_t tol) noexcept {
    return static_cast<std::uint32_t>((distance(red, bg.red) > tol) |
                                      (distance(green, bg.green) > tol) |
                                      (distance(blue, bg.blue) > tol));
}

// Pixels `Step` bytes apart whose channels are adjacent bytes: packed RGB (3)
// and RGBA (4), the layouts that renderers produce. An AVX2 clone, chosen at
// load time where the processor has it, counts about three times as fast.
template <std::int64_t Step>
[[gnu::always_inline]] inline std::uint64_t count_packed(const std::uint8_t* pixel,
                                                         std::uint64_t pixels, Rgb bg,
                                                         std::uint8_t tol) noexcept {
    std::uint64_t total = 0;
    while (pixels > 0) {
        const std::uint64_t block = std::min(pixels, block_pixels);
        std::uint32_t count = 0;
        for (std::uint64_t i = 0; i < block; ++i) {
            const std::uint8_t* p = pixel + i * Step;
            count += ink(p[0], p[1], p[2], bg, tol);
        }
        total += count;
        pixel += block * Step;
        pixels -= block;
    }
    return total;
}

// Packed RGBA, 16 pixels (64 bytes) per step with no per-channel shuffling.
// A channel is background when (v - lo) mod 256 <= hi - lo, where [lo, hi] is
// bg +- tol clamped to a byte; alpha gets the whole range, so it always is. A
// pixel is background when its four byte flags, read as one 32-bit lane, are
// all ones. GCC lowers the 64-byte vectors to whatever each clone has: four
// SSE2 registers, two AVX2 ones, or one AVX-512 register with mask compares.
using Bytes64 = std::uint8_t __attribute__((vector_size(64)));
using Lanes16 = std::uint32_t __attribute__((vector_size(64)));
using Counts16 = std::int32_t __attribute__((vector_size(64)));

[[gnu::always_inline]] inline std::uint64_t count_rgba_wide(const std::uint8_t* pixel,
                                                            std::uint64_t pixels, Rgb bg,
                                                            std::uint8_t tol) noexcept {
    const std::uint8_t channel_bg[3] = {bg.red, bg.green, bg.blue};
    Bytes64 lo{};
    Bytes64 span{};
    for (int byte = 0; byte < 64; ++byte) {
        const int channel = byte % 4;
        if (channel == 3) {
            lo[byte] = 0;
            span[byte] = 255;
        } else {
            const int low = std::max(channel_bg[channel] - tol, 0);
            const int high = std::min(channel_bg[channel] + tol, 255);
            lo[byte] = static_cast<std::uint8_t>(low);
            span[byte] = static_cast<std::uint8_t>(high - low);
        }
    }

    const std::uint64_t whole = pixels / 16 * 16;
    std::uint64_t background = 0;
    std::uint64_t steps = pixels / 16;
    // Each lane gains at most 1 per step, so a block of 2^30 steps fits int32.
    constexpr std::uint64_t block_steps = std::uint64_t{1} << 30;
    while (steps > 0) {
        const std::uint64_t block = std::min(steps, block_steps);
        Counts16 lanes{};
        for (std::uint64_t i = 0; i < block; ++i) {
            Bytes64 v;
            std::memcpy(&v, pixel + i * 64, sizeof v);
            const Bytes64 inside = (Bytes64)((v - lo) <= span);
            // All ones compares to -1; subtracting that counts the pixel.
            lanes -= (Counts16)((Lanes16)inside == ~Lanes16{});
        }
        for (int lane = 0; lane < 16; ++lane) background += static_cast<std::uint32_t>(lanes[lane]);
        pixel += block * 64;
        steps -= block;
    }
    return whole - background + count_packed<4>(pixel, pixels - whole, bg, tol);
}

// Multiversioned functions cannot be templates, so each layout gets its own.
[[gnu::target_clones("arch=x86-64-v4", "avx2", "default")]] std::uint64_t count_rgba(
    const std::uint8_t* pixel, std::uint64_t pixels, Rgb bg, std::uint8_t tol) noexcept {
    return count_rgba_wide(pixel, pixels, bg, tol);
}

[[gnu::target_clones("avx2", "default")]] std::uint64_t count_rgb(const std::uint8_t* pixel,
                                                                  std::uint64_t pixels, Rgb bg,
                                                                  std::uint8_t tol) noexcept {
    return count_packed<3>(pixel, pixels, bg, tol);
}

// Any other layout: negative, zero or wide strides, planar or transposed views.
std::uint64_t count_strided(const std::uint8_t* pixel, std::uint64_t pixels, std::int64_t step,
                            std::int64_t channel_step, Rgb bg, std::uint8_t tol) noexcept {
    std::uint64_t total = 0;
    for (std::uint64_t i = 0; i < pixels; ++i, pixel += step) {
        total += ink(pixel[0], pixel[channel_step], pixel[2 * channel_step], bg, tol);
    }
    return total;
}

// What every run of rows of one call shares; read-only while workers count.
struct RowCounter {
    BufferView buffer;
    std::uint64_t col0;
    std::uint64_t cols;
    Rgb bg;
    std::uint8_t tol;
};

[[gnu::cold, gnu::noinline]] void fail_channels(std::uint64_t channels) {
    throw std::out_of_range("index out of range: channel 2 of a buffer whose channel axis has length " +
                            std::to_string(channels));
}

std::uint64_t count_row(const void* context, std::uint64_t row) {
    const RowCounter& counter = *static_cast<const RowCounter*>(context);
    const BufferView& buffer = counter.buffer;
    if (buffer.channels < 3) fail_channels(buffer.channels);
    // Row and column indices are below the array's extents, which NumPy keeps
    // within the signed 64-bit range.
    const std::uint8_t* first = buffer.base + static_cast<std::int64_t>(row) * buffer.row_stride +
                                static_cast<std::int64_t>(counter.col0) * buffer.col_stride;
    if (buffer.channel_stride == 1 && buffer.col_stride == 4) {
        return count_rgba(first, counter.cols, counter.bg, counter.tol);
    }
    if (buffer.channel_stride == 1 && buffer.col_stride == 3) {
        return count_rgb(first, counter.cols, counter.bg, counter.tol);
    }
    return count_strided(first, counter.cols, buffer.col_stride, buffer.channel_stride, counter.bg,
                         counter.tol);
}

}  // namespace

double ink_coverage(const BufferView& buffer, const Region& region, Rgb bg, std::uint8_t tol) {
    const std::uint64_t row_end = std::min(region.row1, buffer.rows);
    const std::uint64_t col_end = std::min(region.col1, buffer.cols);
    if (region.row0 >= row_end || region.col0 >= col_end) return 0.0;
    // At most rows * cols, so it cannot overflow.
    const std::uint64_t area = (col_end - region.col0) * (row_end - region.row0);

    Pool& pool = global_pool();
    const RowCounter counter{buffer, region.col0, col_end - region.col0, bg, tol};
    const std::uint64_t count = row_end - region.row0 == 1
                                    ? count_row(&counter, region.row0)
                                    : sum_rows(pool, RowSum{count_row, &counter}, region.row0, row_end);
    return static_cast<double>(count) / static_cast<double>(area);
}

}  // namespace tessary::pixel
