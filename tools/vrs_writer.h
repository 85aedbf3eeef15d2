// SPDX-License-Identifier: MIT
// Writes virtual-screen files for tests and samples: sized or rectangle
// header, 16 or 32 bits, any stride, any header byte overridable. The product
// never writes this format; this lives with the tests and tools.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "decode/row_layout.h"

namespace vrs::testing {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

using PixelFunction = std::function<Rgb(std::int64_t x, std::int64_t y)>;

struct VrsLayout {
    bool sized = true;  // "isbg" header; otherwise a rectangle header
    std::int32_t version = 2;
    std::int32_t depth = 32;  // 16 or 32 decode; anything else is written as 32-bit-wide rows
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    // Bytes from one row to the next. -1: the rectangle-header formula
    // ((bpp x width + 16) & ~15), which a rectangle header always implies.
    std::int64_t stride = -1;
    // Rectangle header bounds origin (top, left); the size is width x height.
    std::int16_t top = 0;
    std::int16_t left = 0;
    // The byte that fills the unused first byte of a 32-bit pixel and row padding.
    std::uint8_t filler = 0xA5;
    // Raw header bytes written last: (offset, value).
    std::vector<std::pair<std::size_t, std::uint8_t>> overrides;
};

// The 196-byte header for a layout.
std::vector<std::uint8_t> makeHeader(const VrsLayout& layout);
// The effective stride of a layout.
std::int64_t layoutStride(const VrsLayout& layout);
// Where the reader finds the rows of a file written with this layout.
RowLayout rowLayoutOf(const VrsLayout& layout);
// Encodes one pixel as the file stores it (2 or 4 bytes, big-endian).
void encodePixel(const VrsLayout& layout, Rgb c, std::uint8_t* out);
// The whole file in memory.
std::vector<std::uint8_t> makeVrs(const VrsLayout& layout, const PixelFunction& pixel);
// Streams the file to disk row by row; false on any write error.
bool writeVrsFile(const std::string& path, const VrsLayout& layout, const PixelFunction& pixel);

// What a decoder must produce for a colour written at this depth (16-bit
// keeps 5 bits per channel, shifted left by 3).
Rgb decodedColour(std::int32_t depth, Rgb c);

}  // namespace vrs::testing
