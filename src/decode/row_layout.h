// SPDX-License-Identifier: MIT
// Where a picture's pixel rows lie in its file: width x height pixels of
// `depth` bits, each row `stride` bytes after the one before, the first one
// `headerSize` bytes into the file. The header, the loader, the decoder and
// the streaming rows all pass it whole.
#pragma once

#include <cstdint>

namespace vrs {

struct RowLayout {
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::int64_t depth = 0;
    std::int64_t stride = 0;
    std::uint64_t headerSize = 0;

    // Bytes of one pixel in the file. Depths below 8 bits, zero or negative
    // ones describe no pixel bytes, and the decoder reads none for them.
    std::int64_t bytesPerPixel() const { return depth > 0 ? depth / 8 : 0; }
    // Bytes of one row's pixels, without the row's padding.
    std::int64_t rowPixelBytes() const { return width * bytesPerPixel(); }
    // Where row y starts, counted from the file's first byte.
    std::uint64_t rowOffset(std::int64_t y) const {
        return headerSize + static_cast<std::uint64_t>(y) * static_cast<std::uint64_t>(stride);
    }
    // Bytes from the file's first byte to the last pixel's end, for a layout
    // of at least one row and non-negative sizes; false when that overflows.
    bool bytesNeeded(std::uint64_t* out) const {
        std::uint64_t before = 0;
        return !__builtin_mul_overflow(static_cast<std::uint64_t>(height - 1),
                                       static_cast<std::uint64_t>(stride), &before) &&
               !__builtin_add_overflow(before, static_cast<std::uint64_t>(rowPixelBytes()), out) &&
               !__builtin_add_overflow(*out, headerSize, out);
    }
};

}  // namespace vrs
