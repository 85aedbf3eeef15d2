// SPDX-License-Identifier: MIT
// Plain loops for the vectoriser (this file is compiled with -O3); the test
// of equal rows is compiled for the SSE2 baseline and for AVX2 on x86-64,
// and the first call picks the one the processor runs.
#include "compare/compared_rows.h"

#include <bit>
#include <cstring>

namespace vrs {
namespace {

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define VRS_AVX2_COMPARE 1
#else
#define VRS_AVX2_COMPARE 0
#endif

// Bits of eight bytes that carry colour, as a little-endian word: the first
// byte of each 32-bit pixel carries none; the top bit of each big-endian
// 16-bit pixel, its first byte's, carries none.
constexpr std::uint64_t kMask32 = 0xFFFFFF00FFFFFF00ull;
constexpr std::uint64_t kMask16 = 0xFF7FFF7FFF7FFF7Full;

inline std::uint64_t load64(const std::uint8_t* p) {
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// OR of the masked differences of `words` eight-byte words.
inline __attribute__((always_inline)) std::uint64_t maskedDifference(
    const std::uint8_t* __restrict a, const std::uint8_t* __restrict b, std::int64_t words,
    std::uint64_t mask) {
    std::uint64_t any = 0;
    for (std::int64_t i = 0; i < words; ++i) {
        any |= (load64(a + 8 * i) ^ load64(b + 8 * i)) & mask;
    }
    return any;
}

using DifferenceRoutine = std::uint64_t (*)(const std::uint8_t*, const std::uint8_t*, std::int64_t,
                                            std::uint64_t);

std::uint64_t differenceBaseline(const std::uint8_t* a, const std::uint8_t* b, std::int64_t words,
                                 std::uint64_t mask) {
    return maskedDifference(a, b, words, mask);
}

#if VRS_AVX2_COMPARE
__attribute__((target("avx2"))) std::uint64_t differenceAvx2(const std::uint8_t* a,
                                                             const std::uint8_t* b,
                                                             std::int64_t words,
                                                             std::uint64_t mask) {
    return maskedDifference(a, b, words, mask);
}
#endif

DifferenceRoutine pickDifference() {
#if VRS_AVX2_COMPARE
    if (__builtin_cpu_supports("avx2") != 0) {
        return &differenceAvx2;
    }
#endif
    return &differenceBaseline;
}

}  // namespace

void capturePixels(const std::uint8_t* __restrict row, std::int64_t width, std::int64_t depth,
                   std::uint8_t* __restrict out) {
    if (depth == 32 && std::endian::native == std::endian::little) {
        // The pixel as a word, its first byte dropped and alpha put on top:
        // a form the vectoriser makes a shift of many pixels at once.
        for (std::int64_t x = 0; x < width; ++x) {
            std::uint32_t word;
            std::memcpy(&word, row + 4 * x, 4);
            word = (word >> 8) | 0xFF000000U;
            std::memcpy(out + 4 * x, &word, 4);
        }
    } else if (depth == 32) {
        for (std::int64_t x = 0; x < width; ++x) {
            out[4 * x] = row[4 * x + 1];
            out[4 * x + 1] = row[4 * x + 2];
            out[4 * x + 2] = row[4 * x + 3];
            out[4 * x + 3] = 255;
        }
    } else if (depth == 16) {
        for (std::int64_t x = 0; x < width; ++x) {
            const std::uint32_t word = (std::uint32_t{row[2 * x]} << 8) | row[2 * x + 1];
            out[4 * x] = static_cast<std::uint8_t>(((word >> 10) & 31) << 3);
            out[4 * x + 1] = static_cast<std::uint8_t>(((word >> 5) & 31) << 3);
            out[4 * x + 2] = static_cast<std::uint8_t>((word & 31) << 3);
            out[4 * x + 3] = 255;
        }
    } else {
        for (std::int64_t x = 0; x < width; ++x) {
            out[4 * x] = 0;
            out[4 * x + 1] = 0;
            out[4 * x + 2] = 0;
            out[4 * x + 3] = 255;
        }
    }
}

void rgbPixels(const std::uint8_t* __restrict rgb, std::int64_t width,
               std::uint8_t* __restrict out) {
    for (std::int64_t x = 0; x < width; ++x) {
        out[4 * x] = rgb[3 * x];
        out[4 * x + 1] = rgb[3 * x + 1];
        out[4 * x + 2] = rgb[3 * x + 2];
        out[4 * x + 3] = 255;
    }
}

void planePixels(const RgbRow& row, std::int64_t width, std::uint8_t* __restrict out) {
    const std::uint8_t* __restrict r = row.red;
    const std::uint8_t* __restrict g = row.green;
    const std::uint8_t* __restrict b = row.blue;
    for (std::int64_t x = 0; x < width; ++x) {
        out[4 * x] = r[x];
        out[4 * x + 1] = g[x];
        out[4 * x + 2] = b[x];
        out[4 * x + 3] = 255;
    }
}

bool sameCaptureRows(const std::uint8_t* a, const std::uint8_t* b, std::int64_t width,
                     std::int64_t depth) {
    static const DifferenceRoutine difference = pickDifference();
    const std::uint64_t mask = depth == 32 ? kMask32 : kMask16;
    const std::int64_t bytes = width * (depth / 8);
    const std::int64_t words = bytes / 8;
    if (difference(a, b, words, mask) != 0) {
        return false;
    }
    // The last bytes, fewer than eight, start on a pixel: the mask's pattern
    // goes on from its first byte.
    for (std::int64_t i = 8 * words; i < bytes; ++i) {
        const auto byteMask = static_cast<std::uint8_t>(mask >> (8 * (i % 8)));
        if (((a[i] ^ b[i]) & byteMask) != 0) {
            return false;
        }
    }
    return true;
}

bool samePixels(const std::uint8_t* a, const std::uint8_t* b, std::int64_t count) {
    return std::memcmp(a, b, static_cast<std::size_t>(4 * count)) == 0;
}

}  // namespace vrs
