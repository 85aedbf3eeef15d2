// SPDX-License-Identifier: MIT
// Pixels of a planar bitmap as 32-bit 0xffRRGGBB words, for a region given in
// the image's own y-up coordinates. No Qt: the drawing thread uses it too.
#pragma once

#include <cstddef>
#include <cstdint>

#include "decode/planar_bitmap.h"
#include "geometry/geometry.h"

namespace vrs {

// A block of whole pixels of a bitmap; rows are counted from the top.
struct PixelBlock {
    std::int64_t left = 0;
    std::int64_t top = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
    bool empty() const { return width <= 0 || height <= 0; }
    friend bool operator==(const PixelBlock&, const PixelBlock&) = default;
};

// The whole pixels that `region` (y-up, origin at the lower-left corner)
// touches, cut to an image of the given size. Empty when they do not meet, or
// when the region is not a finite rectangle.
PixelBlock pixelBoxFor(CGRect region, std::int64_t imageWidth, std::int64_t imageHeight);

// The box as a y-up rectangle of the image.
CGRect regionOfBox(PixelBlock box, std::int64_t imageHeight);

// Copies the box (which must lie inside the bitmap) row by row into `dest`,
// `destStride` words from one row to the next, as 0xffRRGGBB.
void copyToRgb32(const PlanarBitmap& bitmap, PixelBlock box, std::uint32_t* dest,
                 std::size_t destStride);

}  // namespace vrs
