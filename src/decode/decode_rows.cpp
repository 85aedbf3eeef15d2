// The per-row pixel routines. They are plain loops over independent pixels
// with fixed-width unsigned arithmetic and no branches, which GCC and Clang
// turn into SIMD code; this file is compiled with -O3 for that reason.
#include <cstdint>

#include "decode/decoder.h"

namespace vrs {

void decodeRow32(const std::uint8_t* __restrict src, std::int64_t width,
                 std::uint8_t* __restrict red, std::uint8_t* __restrict green,
                 std::uint8_t* __restrict blue) {
    for (std::int64_t x = 0; x < width; ++x) {
        // Byte 4x carries nothing the picture uses.
        red[x] = src[4 * x + 1];
        green[x] = src[4 * x + 2];
        blue[x] = src[4 * x + 3];
    }
}

void decodeRow16(const std::uint8_t* __restrict src, std::int64_t width,
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

}  // namespace vrs
