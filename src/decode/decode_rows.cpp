// SPDX-License-Identifier: MIT
// The per-row pixel routines: decoding the file's pixels into planes, and
// interleaving planes into 3 bytes per pixel for the encoders and arrays.
// They are plain loops over independent pixels with fixed-width unsigned
// arithmetic and no branches, which GCC and Clang turn into SIMD code; this
// file is compiled with -O3 for that reason. On x86-64 each loop is
// compiled twice, for the SSE2 baseline and for AVX2 (whose byte shuffles
// interleave four times as fast), and the first call picks the one the
// processor runs.
#include <cstdint>

#include "decode/decoder.h"
#include "decode/row_source.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define VRS_AVX2_ROWS 1
#define VRS_INLINE inline __attribute__((always_inline))
#else
#define VRS_AVX2_ROWS 0
#define VRS_INLINE inline
#endif

namespace vrs {
namespace {

using RowRoutine = void (*)(const std::uint8_t*, std::int64_t, std::uint8_t*, std::uint8_t*,
                            std::uint8_t*);

VRS_INLINE void rows32(const std::uint8_t* __restrict src, std::int64_t width,
                       std::uint8_t* __restrict red, std::uint8_t* __restrict green,
                       std::uint8_t* __restrict blue) {
    for (std::int64_t x = 0; x < width; ++x) {
        // Byte 4x carries nothing the picture uses.
        red[x] = src[4 * x + 1];
        green[x] = src[4 * x + 2];
        blue[x] = src[4 * x + 3];
    }
}

VRS_INLINE void rows16(const std::uint8_t* __restrict src, std::int64_t width,
                       std::uint8_t* __restrict red, std::uint8_t* __restrict green,
                       std::uint8_t* __restrict blue) {
    for (std::int64_t x = 0; x < width; ++x) {
        // Big-endian x1 rrrrr ggggg bbbbb; the top bit is ignored and each
        // 5-bit channel is shifted up by 3, not scaled.
        const auto high = static_cast<std::uint32_t>(src[2 * x]);
        const auto low = static_cast<std::uint32_t>(src[2 * x + 1]);
        const std::uint32_t word = (high << 8) | low;
        red[x] = static_cast<std::uint8_t>(((word >> 10) & 31) << 3);
        green[x] = static_cast<std::uint8_t>(((word >> 5) & 31) << 3);
        blue[x] = static_cast<std::uint8_t>((word & 31) << 3);
    }
}

// Three planes into one row of 3 bytes per pixel, in the order given.
VRS_INLINE void interleave(const std::uint8_t* __restrict first,
                           const std::uint8_t* __restrict second,
                           const std::uint8_t* __restrict third, std::int64_t width,
                           std::uint8_t* __restrict out) {
    for (std::int64_t x = 0; x < width; ++x) {
        out[3 * x] = first[x];
        out[3 * x + 1] = second[x];
        out[3 * x + 2] = third[x];
    }
}

using InterleaveRoutine = void (*)(const std::uint8_t*, const std::uint8_t*, const std::uint8_t*,
                                   std::int64_t, std::uint8_t*);

void interleaveBaseline(const std::uint8_t* first, const std::uint8_t* second,
                        const std::uint8_t* third, std::int64_t width, std::uint8_t* out) {
    interleave(first, second, third, width, out);
}

void rows32Baseline(const std::uint8_t* src, std::int64_t width, std::uint8_t* red,
                    std::uint8_t* green, std::uint8_t* blue) {
    rows32(src, width, red, green, blue);
}

void rows16Baseline(const std::uint8_t* src, std::int64_t width, std::uint8_t* red,
                    std::uint8_t* green, std::uint8_t* blue) {
    rows16(src, width, red, green, blue);
}

#if VRS_AVX2_ROWS
__attribute__((target("avx2"))) void rows32Avx2(const std::uint8_t* src, std::int64_t width,
                                                std::uint8_t* red, std::uint8_t* green,
                                                std::uint8_t* blue) {
    rows32(src, width, red, green, blue);
}

__attribute__((target("avx2"))) void rows16Avx2(const std::uint8_t* src, std::int64_t width,
                                                std::uint8_t* red, std::uint8_t* green,
                                                std::uint8_t* blue) {
    rows16(src, width, red, green, blue);
}

__attribute__((target("avx2"))) void interleaveAvx2(const std::uint8_t* first,
                                                    const std::uint8_t* second,
                                                    const std::uint8_t* third, std::int64_t width,
                                                    std::uint8_t* out) {
    interleave(first, second, third, width, out);
}

bool hasAvx2() {
    return __builtin_cpu_supports("avx2") != 0;
}
#endif

template <typename Routine>
Routine pick(Routine baseline, [[maybe_unused]] Routine avx2) {
#if VRS_AVX2_ROWS
    return hasAvx2() ? avx2 : baseline;
#else
    return baseline;
#endif
}

#if !VRS_AVX2_ROWS
constexpr RowRoutine rows32Avx2 = nullptr;
constexpr RowRoutine rows16Avx2 = nullptr;
constexpr InterleaveRoutine interleaveAvx2 = nullptr;
#endif

}  // namespace

void decodeRow32(const std::uint8_t* src, std::int64_t width, std::uint8_t* red,
                 std::uint8_t* green, std::uint8_t* blue) {
    static const RowRoutine routine = pick(&rows32Baseline, rows32Avx2);
    routine(src, width, red, green, blue);
}

void decodeRow16(const std::uint8_t* src, std::int64_t width, std::uint8_t* red,
                 std::uint8_t* green, std::uint8_t* blue) {
    static const RowRoutine routine = pick(&rows16Baseline, rows16Avx2);
    routine(src, width, red, green, blue);
}

void interleaveRgb(const RgbRow& row, std::int64_t width, std::uint8_t* out) {
    static const InterleaveRoutine routine = pick(&interleaveBaseline, interleaveAvx2);
    routine(row.red, row.green, row.blue, width, out);
}

void interleaveBgr(const RgbRow& row, std::int64_t width, std::uint8_t* out) {
    static const InterleaveRoutine routine = pick(&interleaveBaseline, interleaveAvx2);
    routine(row.blue, row.green, row.red, width, out);
}

DecodeRow rowDecoderFor(std::int64_t depth) {
    switch (depth) {
        case 32:
            return &decodeRow32;
        case 16:
            return &decodeRow16;
        default:
            return nullptr;
    }
}

}  // namespace vrs
