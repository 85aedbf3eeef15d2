// SPDX-License-Identifier: MIT
// What comparing two pictures works with: boxes of pixels, runs of differing
// pixels in a row, the options of a comparison, and pixels in the one form
// both pictures are compared in: four bytes each, red, green, blue and alpha
// (255 for a capture, whose pixels are always opaque).
#pragma once

#include <cstdint>
#include <vector>

namespace vrs {

// Pixels x0 <= x < x1, y0 <= y < y1, counted from the picture's top-left corner.
struct PixelBox {
    std::int64_t x0 = 0;
    std::int64_t y0 = 0;
    std::int64_t x1 = 0;
    std::int64_t y1 = 0;

    std::int64_t width() const { return x1 - x0; }
    std::int64_t height() const { return y1 - y0; }
    bool empty() const { return x1 <= x0 || y1 <= y0; }
    friend bool operator==(const PixelBox&, const PixelBox&) = default;
};

// Differing pixels x0 <= x < x1 of one row.
struct PixelRun {
    std::int64_t x0 = 0;
    std::int64_t x1 = 0;
    friend bool operator==(const PixelRun&, const PixelRun&) = default;
};

struct CompareOptions {
    // How far apart two colours must be for a pixel to count, from 0 (any
    // change) to 1 (black against white), in the YIQ distance of the
    // screenshot-testing tool pixelmatch: the same threshold gives its count.
    double threshold = 0;
    // Leave out pixels that look anti-aliased in either picture, detected
    // as pixelmatch does when it does not include them.
    bool antialiasing = false;
    // Pixels in these boxes are not compared.
    std::vector<PixelBox> ignore;
    // Pictures of different sizes: compare the top-left area both share
    // (the viewer does) rather than only tell the sizes.
    bool sharedArea = false;
};

// Bytes of a pixel in the compared form.
inline constexpr std::int64_t kComparedPixelBytes = 4;

}  // namespace vrs
