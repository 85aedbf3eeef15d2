// SPDX-License-Identifier: MIT
// Nearest-neighbour sampling of the view image from the full image's rows.
// Which source columns feed the view is worked out once per decode, so the
// per-row work is a gather (or a copy when nothing is scaled) with no
// arithmetic per pixel.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "decode/decoder.h"

namespace vrs {

class ViewSampler {
  public:
    ViewSampler(const ViewSize& view, std::int64_t width);

    // The view row that source row y feeds, or -1: a view row is fed by the
    // first source row that maps to it. Rows may be asked in any order.
    std::int64_t viewRowFor(std::int64_t y) const;
    // The view row source row y falls in, fed by it or not (it may be past
    // the view's last row). Never decreases as y grows.
    std::int64_t viewRowAt(std::int64_t y) const {
        return static_cast<std::int64_t>(static_cast<double>(y) * scale_);
    }

    // Copies the sampled pixels of one full-image plane row into a view row.
    void sampleRow(const std::uint8_t* fullRow, std::uint8_t* viewRow) const;
    // Whether every source column feeds the view column of its own index.
    bool copies() const { return copies_; }
    // The sampled pixels of a source row of `pixelBytes` (2 or 4) bytes per
    // pixel, packed side by side: one pixel for each view column, in a
    // buffer of the sampler's that the next call overwrites. Decoding them
    // gives the view row, at a tenth of the stores of sampling the planes.
    const std::uint8_t* gatherPixels(const std::uint8_t* sourceRow, std::size_t pixelBytes);
    std::int64_t columns() const { return columns_; }
    // The source column of each of the columns() view columns.
    const std::int64_t* sourceColumns() const { return sourceColumn_.data(); }

  private:
    double scale_;
    std::int64_t viewHeight_;
    bool copies_ = false;  // every source column feeds the view column of its own index
    std::int64_t columns_ = 0;
    // The source column of each view column. The view is never wider than 1600.
    std::array<std::int64_t, kViewMaxWidth + 1> sourceColumn_{};
    std::array<std::uint8_t, 4 * (kViewMaxWidth + 1)> packed_{};
};

}  // namespace vrs
