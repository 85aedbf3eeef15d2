// Nearest-neighbour sampling of the view image from the full image's rows.
// Which source columns feed the view is worked out once per decode, so the
// per-row work is a gather (or a copy when nothing is scaled) with no
// arithmetic per pixel.
#pragma once

#include <array>
#include <cstdint>

#include "decode/decoder.h"

namespace vrs {

class ViewSampler {
  public:
    ViewSampler(const ViewSize& view, std::int64_t width);

    // The view row that source row y feeds, or -1. Must be called for every
    // y in order: a view row is fed by the first source row that maps to it.
    std::int64_t viewRowFor(std::int64_t y);

    // Copies the sampled pixels of one full-image plane row into a view row.
    void sampleRow(const std::uint8_t* fullRow, std::uint8_t* viewRow) const;

  private:
    double scale_;
    std::int64_t viewHeight_;
    std::int64_t lastViewRow_ = -1;
    bool copies_ = false;  // every source column feeds the view column of its own index
    std::int64_t columns_ = 0;
    // The source column of each view column. The view is never wider than 1600.
    std::array<std::int64_t, kViewMaxWidth + 1> sourceColumn_{};
};

}  // namespace vrs
