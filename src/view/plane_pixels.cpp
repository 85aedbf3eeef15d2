// SPDX-License-Identifier: MIT
#include "view/plane_pixels.h"

#include <algorithm>
#include <cmath>

#include "platform/vectorise.h"

namespace vrs {

PixelBlock pixelBoxFor(CGRect region, std::int64_t imageWidth, std::int64_t imageHeight) {
    const double x0 = std::max(region.origin.x, 0.0);
    const double y0 = std::max(region.origin.y, 0.0);
    const double x1 =
        std::min(region.origin.x + region.size.width, static_cast<double>(imageWidth));
    const double y1 =
        std::min(region.origin.y + region.size.height, static_cast<double>(imageHeight));
    // The negated test also refuses not-a-number edges.
    if (!(x1 > x0 && y1 > y0)) {
        return {};
    }
    const auto left = static_cast<std::int64_t>(std::floor(x0));
    const auto right = static_cast<std::int64_t>(std::ceil(x1));
    const auto bottom = static_cast<std::int64_t>(std::floor(y0));
    const auto top = static_cast<std::int64_t>(std::ceil(y1));
    return {left, imageHeight - top, right - left, top - bottom};
}

CGRect regionOfBox(PixelBlock box, std::int64_t imageHeight) {
    return NSMakeRect(static_cast<double>(box.left),
                      static_cast<double>(imageHeight - (box.top + box.height)),
                      static_cast<double>(box.width), static_cast<double>(box.height));
}

namespace {

// One row of the three planes as 0xffRRGGBB words; the pointers never
// overlap, which lets the loop be vectorised.
VRS_VECTORISE void packRow(const std::uint8_t* __restrict red, const std::uint8_t* __restrict green,
                           const std::uint8_t* __restrict blue, std::uint32_t* __restrict out,
                           std::size_t width) {
    for (std::size_t x = 0; x < width; ++x) {
        out[x] = 0xff000000u | (std::uint32_t{red[x]} << 16) | (std::uint32_t{green[x]} << 8) |
                 std::uint32_t{blue[x]};
    }
}

}  // namespace

void copyToRgb32(const PlanarBitmap& bitmap, PixelBlock box, std::uint32_t* dest,
                 std::size_t destStride) {
    const auto stride = static_cast<std::size_t>(bitmap.bytesPerRow());
    const std::uint8_t* red = bitmap.plane(0);
    const std::uint8_t* green = bitmap.plane(1);
    const std::uint8_t* blue = bitmap.plane(2);
    const auto width = static_cast<std::size_t>(box.width);
    for (std::int64_t row = 0; row < box.height; ++row) {
        const std::size_t at =
            static_cast<std::size_t>(box.top + row) * stride + static_cast<std::size_t>(box.left);
        packRow(red + at, green + at, blue + at, dest + static_cast<std::size_t>(row) * destStride,
                width);
    }
}

}  // namespace vrs
