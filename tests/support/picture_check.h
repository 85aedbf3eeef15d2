// SPDX-License-Identifier: MIT
// Reading decoded bitmaps back in tests, and an asymmetric test picture with
// distinct channels, so that a flip, a transposition or a channel swap fails.
#pragma once

#include <cstdint>
#include <string>

#include "decode/image.h"
#include "vrs_writer.h"

namespace vrs::testing {

struct Rgba {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 0;
    friend bool operator==(const Rgba&, const Rgba&) = default;
};

inline Rgba pixelAt(const PlanarBitmap& bitmap, std::int64_t x, std::int64_t y) {
    const std::int64_t at = y * bitmap.bytesPerRow() + x;
    return {bitmap.plane(0)[at], bitmap.plane(1)[at], bitmap.plane(2)[at], bitmap.plane(3)[at]};
}

inline Rgba opaque(Rgb c) {
    return {c.r, c.g, c.b, 255};
}

inline std::string describe(Rgba c) {
    return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) +
           ", " + std::to_string(c.a) + ")";
}

// Never white, never symmetric in x and y, and every channel different.
inline Rgb skewedPixel(std::int64_t x, std::int64_t y) {
    return {static_cast<std::uint8_t>((x * 7 + y * 3) & 255),
            static_cast<std::uint8_t>((x * 13 + y * 29 + 50) & 255),
            static_cast<std::uint8_t>((x ^ (y * 11)) % 200)};
}

}  // namespace vrs::testing
