// SPDX-License-Identifier: MIT
// Where a picture's pixel rows lie in its file: width x height pixels of
// `depth` bits, each row `stride` bytes after the one before, the first one
// `headerSize` bytes into the file. The header, the loader, the decoder and
// the streaming rows all pass it whole.
//
// Every reader of rows, whether it has the whole file, reads it by offset or
// is fed it in pieces, keeps one rule, so that its work follows the bytes a
// file holds and never what its header claims:
//  - a row counts (is decoded, averaged or told to a host) only once its
//    bytes have arrived or been read: rowsWithin() says which rows those are;
//  - a header whose rows cannot all be in the file is refused before any
//    per-row work (the loader's checks, inspectVirtualScreen);
//  - a layout whose rows the decoder does not draw (rowsDrawn() false in
//    decode/decoder.h) costs nothing per row: its picture is black, made or
//    averaged without visiting a row;
//  - rows that lie wholly in a hole of a sparse file read as zero bytes,
//    which decode to black at every depth: a reader that shrinks the
//    picture passes over them without reading them (FileBytes::dataExtent).
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
    // How many rows, from the first, lie wholly within a file's first `bytes`
    // bytes: a row counts once its pixel bytes are all there, a row without
    // pixel bytes once the file reaches its start. Rows of stride 0 all lie
    // at one offset. For a layout of non-negative sizes.
    std::int64_t rowsWithin(std::uint64_t bytes) const {
        const auto pixels = static_cast<std::uint64_t>(rowPixelBytes());
        if (height <= 0 || bytes < headerSize || bytes - headerSize < pixels) {
            return 0;
        }
        if (stride <= 0) {
            return height;
        }
        const std::uint64_t after =
            (bytes - headerSize - pixels) / static_cast<std::uint64_t>(stride);
        return after >= static_cast<std::uint64_t>(height - 1)
                   ? height
                   : static_cast<std::int64_t>(after) + 1;
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
