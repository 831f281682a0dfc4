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

// Pixel `first + i` of a row lies `Step` bytes after pixel `first + i - 1`
// and its channels are adjacent bytes: packed RGB (3) and RGBA (4), the
// layouts that renderers produce. Only channels 0 to 2 of the pixels in
// [first, end) are read. An AVX2 clone, chosen at load time where the
// processor has it, counts about three times as fast.
template <std::uint64_t Step>
[[gnu::always_inline]] inline std::uint64_t count_packed(const std::uint8_t* row,
                                                         std::uint64_t first, std::uint64_t end,
                                                         Rgb bg, std::uint8_t tol) noexcept {
    std::uint64_t total = 0;
    for (std::uint64_t start = first; start < end;) {
        const std::uint64_t block = std::min(end - start, block_pixels);
        const std::uint8_t* pixel = row + start * Step;
        std::uint32_t count = 0;
        for (std::uint64_t i = 0; i < block; ++i) {
            const std::uint8_t* p = pixel + i * Step;
            count += ink(p[0], p[1], p[2], bg, tol);
        }
        total += count;
        start += block;
    }
    return total;
}

// Pixels 4 bytes apart with adjacent channels, 16 pixels (64 bytes) per step
// with no per-channel shuffling. A channel is background when
// (v - lo) mod 256 <= hi - lo, where [lo, hi] is bg +- tol clamped to a byte;
// the fourth byte gets the whole range, so it always is, whether it is alpha
// or the gap after an RGB pixel. A pixel is background when its four byte
// flags, read as one 32-bit lane, are all ones. GCC lowers the 64-byte vectors
// to whatever each clone has: four SSE2 registers, two AVX2 ones, or one
// AVX-512 register with mask compares.
using Bytes64 = std::uint8_t __attribute__((vector_size(64)));
using Lanes16 = std::uint32_t __attribute__((vector_size(64)));
using Counts16 = std::int32_t __attribute__((vector_size(64)));

// Clones dispatched at load time need an ifunc resolver (the build checks for one).
// Elsewhere (arm64, musl, macOS, Windows) the same vector code is built once, for the baseline.
#ifdef TESSARY_HAVE_TARGET_CLONES
#define TESSARY_CLONES(...) [[gnu::target_clones(__VA_ARGS__)]]
#else
#define TESSARY_CLONES(...)
#endif

// Per byte of a 64-byte window, the band [lo, lo + span] of background values.
struct Bands {
    std::uint8_t lo[64];
    std::uint8_t span[64];
};

// Worked out once per call: windows that start at a pixel's first byte, and
// windows that start at its fourth.
struct WideBands {
    Bands aligned;
    Bands shifted;
};

Bands bands_from(int first_channel, Rgb bg, std::uint8_t tol) noexcept {
    const std::uint8_t channel_bg[3] = {bg.red, bg.green, bg.blue};
    Bands bands{};
    for (int byte = 0; byte < 64; ++byte) {
        const int channel = (byte + first_channel) % 4;
        if (channel == 3) {
            bands.span[byte] = 255;
        } else {
            const int low = std::max(channel_bg[channel] - tol, 0);
            const int high = std::min(channel_bg[channel] + tol, 255);
            bands.lo[byte] = static_cast<std::uint8_t>(low);
            bands.span[byte] = static_cast<std::uint8_t>(high - low);
        }
    }
    return bands;
}

// Adds 1 to each lane whose four bytes all lie in their bands.
[[gnu::always_inline]] inline void count_background(Counts16& lanes, const std::uint8_t* bytes,
                                                    const Bytes64& lo, const Bytes64& span) noexcept {
    Bytes64 v;
    std::memcpy(&v, bytes, sizeof v);
    const Bytes64 inside = (Bytes64)((v - lo) <= span);
    // All ones compares to -1; subtracting that counts the pixel.
    lanes -= (Counts16)((Lanes16)inside == ~Lanes16{});
}

// `row_bytes` is how many bytes from the row's first byte belong to its
// pixels. Only those are loaded, so the fourth byte of a three-channel last
// pixel, which may lie on an unmapped page, is never read: the pixels after the
// last whole step are counted from the row's last 64 bytes (shifted by a byte
// then), whose lanes of pixels already counted are left out. Multiversioned
// functions cannot be templates, so each layout gets its own.
TESSARY_CLONES("arch=x86-64-v4", "avx2", "default") std::uint64_t count_rgba(
    const std::uint8_t* row, std::uint64_t pixels, std::uint64_t row_bytes, const WideBands& bands,
    Rgb bg, std::uint8_t tol) noexcept {
    const std::uint64_t steps = row_bytes / 64;
    if (steps == 0) return count_packed<4>(row, 0, pixels, bg, tol);

    Bytes64 lo;
    Bytes64 span;
    std::memcpy(&lo, bands.aligned.lo, sizeof lo);
    std::memcpy(&span, bands.aligned.span, sizeof span);
    std::uint64_t background = 0;
    // Each lane gains at most 1 per step, so a block of 2^30 steps fits int32.
    constexpr std::uint64_t block_steps = std::uint64_t{1} << 30;
    for (std::uint64_t start = 0; start < steps;) {
        const std::uint64_t block = std::min(steps - start, block_steps);
        const std::uint8_t* bytes = row + start * 64;
        Counts16 lanes{};
        for (std::uint64_t i = 0; i < block; ++i) count_background(lanes, bytes + i * 64, lo, span);
        for (int lane = 0; lane < 16; ++lane) background += static_cast<std::uint32_t>(lanes[lane]);
        start += block;
    }

    const std::uint64_t rest = pixels - steps * 16;  // 0 to 16
    if (rest > 0) {
        // row_bytes is 4 * pixels, or one less without alpha, so the window
        // starts at a first or a fourth byte.
        const std::uint64_t window = row_bytes - 64;
        const Bands& tail = window % 4 == 0 ? bands.aligned : bands.shifted;
        std::memcpy(&lo, tail.lo, sizeof lo);
        std::memcpy(&span, tail.span, sizeof span);
        Counts16 last{};
        count_background(last, row + window, lo, span);
        for (std::uint64_t lane = 16 - rest; lane < 16; ++lane) {
            background += static_cast<std::uint32_t>(last[lane]);
        }
    }
    return pixels - background;
}

TESSARY_CLONES("avx2", "default") std::uint64_t count_rgb(const std::uint8_t* row,
                                                                  std::uint64_t pixels, Rgb bg,
                                                                  std::uint8_t tol) noexcept {
    return count_packed<3>(row, 0, pixels, bg, tol);
}

// Any other layout: negative, zero or wide strides, planar or transposed views.
// Only the pointers of bytes that are read are formed: stepping one pixel past
// the end of a row with a negative stride would point before the array.
std::uint64_t count_strided(const std::uint8_t* row, std::uint64_t pixels, std::int64_t step,
                            std::int64_t channel_step, Rgb bg, std::uint8_t tol) noexcept {
    std::uint64_t total = 0;
    for (std::uint64_t i = 0; i < pixels; ++i) {
        const std::uint8_t* pixel = row + static_cast<std::int64_t>(i) * step;
        total += ink(pixel[0], pixel[channel_step], pixel[2 * channel_step], bg, tol);
    }
    return total;
}

enum class Kernel : std::uint8_t { rgba_wide, rgb_packed, strided };

// The fastest kernel that reads no byte outside the pixels it counts. Pixels 4
// bytes apart with adjacent channels are counted 16 at a time: their fourth
// byte is alpha, or the gap before the next pixel of a three-channel view.
Kernel kernel_for(const BufferView& buffer) noexcept {
    if (buffer.channel_stride == 1 && buffer.col_stride == 4) return Kernel::rgba_wide;
    if (buffer.channel_stride == 1 && buffer.col_stride == 3) return Kernel::rgb_packed;
    return Kernel::strided;
}

// What every run of rows of one call shares; read-only while workers count.
struct RowCounter {
    BufferView buffer;
    Kernel kernel;
    WideBands wide;
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
    // Row and column indices are below the array's extents, which NumPy keeps
    // within the signed 64-bit range.
    const std::uint8_t* first = buffer.base + static_cast<std::int64_t>(row) * buffer.row_stride +
                                static_cast<std::int64_t>(counter.col0) * buffer.col_stride;
    switch (counter.kernel) {
        case Kernel::rgba_wide: {
            // The last pixel's bytes end after its alpha, or after blue when there is none.
            const std::uint64_t last_pixel_bytes = buffer.channels >= 4 ? 4 : 3;
            const std::uint64_t row_bytes = (counter.cols - 1) * 4 + last_pixel_bytes;
            return count_rgba(first, counter.cols, row_bytes, counter.wide, counter.bg, counter.tol);
        }
        case Kernel::rgb_packed:
            return count_rgb(first, counter.cols, counter.bg, counter.tol);
        case Kernel::strided:
            break;
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
    if (buffer.channels < 3) fail_channels(buffer.channels);
    const Kernel kernel = kernel_for(buffer);
    const RowCounter counter{
        buffer, kernel,
        kernel == Kernel::rgba_wide ? WideBands{bands_from(0, bg, tol), bands_from(3, bg, tol)} : WideBands{},
        region.col0, col_end - region.col0, bg, tol};
    const std::uint64_t count = row_end - region.row0 == 1
                                    ? count_row(&counter, region.row0)
                                    : sum_rows(pool, RowSum{count_row, &counter}, region.row0, row_end);
    return static_cast<double>(count) / static_cast<double>(area);
}

}  // namespace tessary::pixel
