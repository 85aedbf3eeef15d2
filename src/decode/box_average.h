// SPDX-License-Identifier: MIT
// Shrinks a picture to an exact size no larger than its own: each pixel is
// the mean of the source pixels it covers (a box over whole source rows and
// columns), so fine detail turns to its average colour instead of aliasing.
// Source rows are added in order, each in spans of any length, so the rows
// may come from a file read in blocks or from bytes fed as they arrive.
// Memory follows the shrunk width, never the source's.
#pragma once

#include <cstdint>
#include <vector>

#include "decode/row_source.h"

namespace vrs {

class BoxAverage {
  public:
    // Sides up to 2^24 keep the box bounds' products below 2^63 for any
    // source side a header can give (below 2^32).
    static constexpr std::int64_t kLongestSide = std::int64_t{1} << 24;

    // Sizes the boxes for a width x height result; false when a side is not
    // from 1 to the source's own and to kLongestSide, or memory is short.
    bool prepare(std::int64_t sourceWidth, std::int64_t sourceHeight, std::int64_t width,
                 std::int64_t height);
    std::int64_t width() const { return width_; }
    std::int64_t height() const { return height_; }

    // The first source row of row y's box; top(height()) is the source's height.
    std::int64_t top(std::int64_t y) const { return boxStart(y, sourceHeight_, height_); }
    // Adds `count` pixels of a source row, from column `first` on, to the
    // sums of the row being made.
    void add(std::int64_t first, std::int64_t count, const std::uint8_t* red,
             const std::uint8_t* green, const std::uint8_t* blue);
    // Row y: the means of the sums, once every source row of its box has
    // been added whole. The sums then start again from zero. The pointers
    // stay valid until the next call.
    RgbRow take(std::int64_t y);
    // Forgets the sums (a row given up halfway).
    void clear();

  private:
    // The first source pixel that pixel i of out covers, along n.
    static std::int64_t boxStart(std::int64_t i, std::int64_t n, std::int64_t out) {
        return i * n / out;
    }

    std::int64_t sourceHeight_ = 0;
    std::int64_t width_ = 0;
    std::int64_t height_ = 0;
    std::vector<std::int64_t> firstColumn_;  // of each column's box, then the source's width
    std::vector<std::uint64_t> sums_;        // three planes of sums over the covered pixels
    std::vector<std::uint8_t> out_;          // three planes of the row taken
};

}  // namespace vrs
