// SPDX-License-Identifier: MIT
// An 8-bit RGBA bitmap held as four planes (red, green, blue, alpha), one byte
// per pixel in each, row 0 at the top. Every plane row is bytesPerRow() long:
// (4 x width + 16) with the low four bits cleared, of which the first width
// bytes hold samples.
//
// The planes share one block of memory: plane p starts p x planeOffset()
// bytes into it, so the three quarters of each plane row that hold no
// samples hold the other planes' rows. The block is then as large as the
// samples and every byte of it is used, which lets huge pages back it (one
// fault per 2 MiB instead of one per 4 KiB) at no cost in memory.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/huge_block.h"

namespace vrs {

class PlanarBitmap {
  public:
    static constexpr int kPlanes = 4;

    PlanarBitmap(const PlanarBitmap&) = delete;
    PlanarBitmap& operator=(const PlanarBitmap&) = delete;
    ~PlanarBitmap();

    std::int64_t width() const { return width_; }
    std::int64_t height() const { return height_; }
    std::int64_t bytesPerRow() const { return bytesPerRow_; }
    // Bytes from a plane's start to the end of its last row: height x bytesPerRow.
    std::size_t planeSize() const { return planeSize_; }
    // Bytes between the starts of two neighbouring planes (at least width).
    std::int64_t planeOffset() const { return planeOffset_; }
    // Start of each plane in the order red, green, blue, alpha; null when the
    // bitmap is empty. The fifth entry is always null.
    void getBitmapDataPlanes(std::uint8_t* planes[5]) const;
    // Sets every byte of every plane, row padding included, to `value`: the
    // same as filling the four planes one after the other.
    void fillPlanes(std::uint8_t value) const;
    std::uint8_t* plane(int index) const { return planes_[static_cast<std::size_t>(index)]; }

  private:
    friend std::shared_ptr<PlanarBitmap> MakeNewImageRep(std::int64_t width, std::int64_t height);
    PlanarBitmap() = default;

    std::int64_t width_ = 0;
    std::int64_t height_ = 0;
    std::int64_t bytesPerRow_ = 0;
    std::size_t planeSize_ = 0;
    std::int64_t planeOffset_ = 0;
    HugeBlock block_;
    std::array<std::uint8_t*, kPlanes> planes_{};
};

// (4 x width + 16) & ~15, or -1 when width is negative or the product overflows.
std::int64_t planarBytesPerRow(std::int64_t width);

// A new bitmap of width x height pixels with planes cleared to 0, or nothing
// when a size is negative, a size computation overflows or the memory cannot
// be had. A zero width or height gives an empty bitmap. Never throws.
std::shared_ptr<PlanarBitmap> MakeNewImageRep(std::int64_t width, std::int64_t height);

}  // namespace vrs
