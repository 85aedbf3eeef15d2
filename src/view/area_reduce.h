// SPDX-License-Identifier: MIT
// Reduction of a 32-bit 0xffRRGGBB picture by area averaging: every output
// pixel is the mean of the source area it covers, fractional edges weighted.
// Plain C++, single-threaded (Qt's own smooth scaling runs on a thread pool).
#pragma once

#include <cstddef>
#include <cstdint>

namespace vrs {

struct RgbPixels {
    const std::uint32_t* pixels = nullptr;
    std::size_t stride = 0;  // words from one row to the next
    int width = 0;
    int height = 0;
};

// Fractional source rectangle in pixels, rows counted from the top.
struct SourceArea {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
};

// Writes outWidth x outHeight pixels, outStride words per row. Made for
// reductions, right for any sizes; samples outside the picture repeat its edge.
void reduceArea(const RgbPixels& source, SourceArea area, std::uint32_t* out, std::size_t outStride,
                int outWidth, int outHeight);

}  // namespace vrs
