// SPDX-License-Identifier: MIT
#include "compare/region_finder.h"

#include <gtest/gtest.h>

#include <vector>

namespace vrs {
namespace {

using Rows = std::vector<std::pair<std::int64_t, std::vector<PixelRun>>>;

std::vector<PixelBox> find(std::int64_t width, const Rows& rows) {
    RegionFinder finder(width);
    for (const auto& [y, runs] : rows) {
        finder.addRow(y, runs.data(), runs.size());
    }
    return finder.finish();
}

// Pixels that touch corner to corner are one region; boxes 7 pixels apart
// are merged, across columns and across rows, boxes 8 apart are not.
TEST(RegionFinder, MergesBoxesCloserThanEightPixels) {
    EXPECT_EQ((std::vector<PixelBox>{{10, 0, 12, 2}}),
              find(100, {{0, {{10, 11}}}, {1, {{11, 12}}}}));
    EXPECT_EQ((std::vector<PixelBox>{{0, 0, 11, 1}}), find(100, {{0, {{0, 3}, {10, 11}}}}));
    EXPECT_EQ((std::vector<PixelBox>{{0, 0, 3, 1}, {11, 0, 12, 1}}),
              find(100, {{0, {{0, 3}, {11, 12}}}}));
    EXPECT_EQ((std::vector<PixelBox>{{5, 0, 6, 9}}), find(100, {{0, {{5, 6}}}, {8, {{5, 6}}}}));
    EXPECT_EQ((std::vector<PixelBox>{{5, 0, 6, 1}, {5, 9, 6, 10}}),
              find(100, {{0, {{5, 6}}}, {9, {{5, 6}}}}));
}

// A region finished long ago still joins a tall one whose box widens to
// within 8 pixels of it; the merged box then reaches a third.
TEST(RegionFinder, AWideningBoxTakesInRegionsFinishedBefore) {
    Rows rows;
    for (std::int64_t y = 0; y < 100; ++y) {
        rows.push_back({y, {{0, 1}}});  // a line down the left edge
        if (y == 10) {
            rows.back().second.push_back({20, 21});  // a dot, 19 pixels right of the line
        }
        if (y == 60) {
            rows.back().second.push_back({27, 28});  // 26 pixels right of the line
        }
        if (y == 99) {
            rows.back().second = {{0, 15}};  // the line's foot, 5 pixels from the first dot
        }
    }
    EXPECT_EQ((std::vector<PixelBox>{{0, 0, 28, 100}}), find(200, rows));
}

// Regions come largest first, then from the top, then from the left.
TEST(RegionFinder, ListsTheLargestFirst) {
    EXPECT_EQ((std::vector<PixelBox>{{50, 20, 60, 30}, {90, 0, 91, 1}, {0, 40, 1, 41}}),
              find(100, [] {
                  Rows rows{{0, {{90, 91}}}};
                  for (std::int64_t y = 20; y < 30; ++y) {
                      rows.push_back({y, {{50, 60}}});
                  }
                  rows.push_back({40, {{0, 1}}});
                  return rows;
              }()));
}

}  // namespace
}  // namespace vrs
