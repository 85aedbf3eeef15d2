// SPDX-License-Identifier: MIT
// Groups differing pixels into regions as their rows stream by: pixels that
// touch (of eight neighbours) are one region, and regions whose boxes
// overlap or lie closer than 8 pixels are merged, until no two are that
// close. Memory follows the width and the number of regions, never the
// picture's height.
//
// How: a region whose box may still grow (its last row within 8 rows of the
// row being added) is open, kept by its left edge; open regions lie side by
// side. The others are retired, kept in bands of columns. A region that
// widens, or reaches up by a merge, is checked against the retired regions
// near the part it newly covers, since a merged box can come close to a
// region finished long before.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "compare/compare_types.h"

namespace vrs {

// Boxes that overlap or lie closer than this many pixels are one region.
inline constexpr std::int64_t kRegionGap = 8;

class RegionFinder {
  public:
    explicit RegionFinder(std::int64_t width);

    // Adds the differing pixels of row y, runs in increasing order of x.
    // Rows come in increasing order; rows without a differing pixel may be
    // left out.
    void addRow(std::int64_t y, const PixelRun* runs, std::size_t count);

    // The regions, the largest (by area) first, then from the top, then from
    // the left. The finder is empty afterwards.
    std::vector<PixelBox> finish();

  private:
    struct Retired {
        PixelBox box;
        bool alive = true;
    };
    using Open = std::map<std::int64_t, PixelBox>;  // by x0

    void retireBefore(std::int64_t y);
    void retire(const PixelBox& box);
    void settle(PixelBox box);
    Open::iterator firstOpenNear(const PixelBox& box);
    bool absorbOpen(PixelBox* box, PixelBox* checked);
    bool absorbRetired(const PixelBox& strip, PixelBox* box);
    void compact();

    std::int64_t width_;
    std::int64_t bandWidth_;  // columns in a band of bands_
    Open open_;
    std::vector<Retired> retired_;
    std::size_t alive_ = 0;
    std::vector<std::vector<std::uint32_t>> bands_;  // indices into retired_, by columns
};

}  // namespace vrs
