// SPDX-License-Identifier: MIT
#include "geometry/geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

namespace vrs {

std::ostream& operator<<(std::ostream& os, const CGRect& r) {
    return os << "(" << r.origin.x << ", " << r.origin.y << ", " << r.size.width << ", "
              << r.size.height << ")";
}

namespace {

TEST(GeometryTest, ProportionalRectEnlargesWithFlagZero) {
    EXPECT_EQ(NSProportionalRect(NSMakeRect(0, 0, 200, 200), NSMakeRect(0, 0, 100, 50), 0),
              NSMakeRect(0, 50, 200, 100));
    EXPECT_EQ(NSProportionalRect(NSMakeRect(0, 0, 200, 200), NSMakeRect(7, 9, 100, 50), 1),
              NSMakeRect(50, 75, 100, 50));
}

TEST(GeometryTest, ProportionalRectUsesSinglePrecisionScale) {
    const CGRect r = NSProportionalRect(NSMakeRect(0, 0, 200, 200), NSMakeRect(0, 0, 300, 100), 1);
    EXPECT_EQ(r.size.width, 300 * 0.6666666865348816);
    EXPECT_DOUBLE_EQ(r.size.width, 200.00000596046448);
    EXPECT_DOUBLE_EQ(r.size.height, 66.66666865348816);
    const CGRect big =
        NSProportionalRect(NSMakeRect(0, 0, 2560, 1600), NSMakeRect(0, 0, 3000, 1000), 0);
    EXPECT_DOUBLE_EQ(big.size.width, 2560.0000619888306);
}

TEST(GeometryTest, ProportionalRectReducesByTheLimitingRatio) {
    EXPECT_EQ(NSProportionalRect(NSMakeRect(0, 0, 400, 300), NSMakeRect(0, 0, 800, 400), 0),
              NSMakeRect(0, 50, 400, 200));
    EXPECT_EQ(NSProportionalRect(NSMakeRect(0, 0, 400, 300), NSMakeRect(0, 0, 800, 400), 1),
              NSMakeRect(0, 50, 400, 200));
    EXPECT_EQ(NSProportionalRect(NSMakeRect(2, 2, 400, 300), NSMakeRect(0, 0, 1600, 900), 0),
              NSMakeRect(2, 39.5, 400, 225));
    EXPECT_EQ(NSProportionalRect(NSMakeRect(2, 2, 400, 300), NSMakeRect(0, 0, 1600, 1200), 0),
              NSMakeRect(2, 2, 400, 300));
}

TEST(GeometryTest, ProportionalRectOfZeroSizeIsNotANumber) {
    const CGRect r = NSProportionalRect(NSMakeRect(0, 0, 10, 10), NSMakeRect(0, 0, 0, 0), 0);
    EXPECT_TRUE(std::isnan(r.size.width));
    EXPECT_TRUE(std::isnan(r.size.height));
}

TEST(GeometryTest, FitRectNormalises) {
    EXPECT_EQ(NSFitRect(NSMakeRect(5, 5, -10, -4)), NSMakeRect(-5, 1, 10, 4));
    EXPECT_EQ(NSFitRect(NSMakeRect(5, 5, 10, 0)), NSMakeRect(5, 5, 10, 0));
    EXPECT_EQ(NSFitRect(NSMakeRect(5, 5, -3, 2)), NSMakeRect(2, 5, 3, 2));
}

TEST(GeometryTest, MapPointAndRect) {
    const CGRect from = NSMakeRect(100, 100, 200, 100);
    const CGRect to = NSMakeRect(0, 0, 1000, 500);
    EXPECT_EQ(NSMapPt({150, 100}, from, to), (CGPoint{250, 0}));
    EXPECT_EQ(NSMapRect(NSMakeRect(150, 125, 50, 25), from, to), NSMakeRect(250, 125, 250, 125));
    EXPECT_EQ(NSMapRect(NSMakeRect(3, 4, 5, 6), from, from), NSMakeRect(3, 4, 5, 6));
    EXPECT_EQ(NSMapRect(NSMakeRect(150, 125, -50, -25), from, to).size.width, -250);
    // The factor 1/3 is rounded to single precision before use.
    const CGPoint third = NSMapPt({3, 0}, NSMakeRect(0, 0, 3, 1), NSMakeRect(0, 0, 1, 1));
    EXPECT_EQ(third.x, 3 * static_cast<double>(1.0f / 3.0f));
    EXPECT_NE(third.x, 1.0);
}

TEST(GeometryTest, MoveRectCentresOnPoint) {
    EXPECT_EQ(NSMoveRect(NSMakeRect(10, 20, 100, 50), {0, 0}), NSMakeRect(-50, -25, 100, 50));
    EXPECT_EQ(NSMoveRect(NSMakeRect(10, 20, 100, 50), {7, 8}), NSMakeRect(-43, -17, 100, 50));
}

TEST(GeometryTest, SmallRectangleFunctions) {
    EXPECT_TRUE(NSIsEmptyRect(NSMakeRect(0, 0, 0, 5)));
    EXPECT_TRUE(NSIsEmptyRect(NSMakeRect(0, 0, 5, -1)));
    EXPECT_FALSE(NSIsEmptyRect(NSMakeRect(0, 0, 0.5, 0.5)));
    EXPECT_EQ(NSInsetRect(NSMakeRect(0, 0, 404, 304), 2, 2), NSMakeRect(2, 2, 400, 300));
    EXPECT_TRUE(NSPointInRect({0, 0}, NSMakeRect(0, 0, 10, 10)));
    EXPECT_FALSE(NSPointInRect({10, 5}, NSMakeRect(0, 0, 10, 10)));
    EXPECT_EQ(NSIntersectionRect(NSMakeRect(-50, 0, 100, 100), NSMakeRect(0, 0, 1600, 1200)),
              NSMakeRect(0, 0, 50, 100));
    EXPECT_TRUE(
        NSIsEmptyRect(NSIntersectionRect(NSMakeRect(0, 0, 10, 10), NSMakeRect(10, 0, 5, 5))));
}

TEST(GeometryTest, FlipToQt) {
    EXPECT_EQ(flipY(300, 10), 290);
    // A 100 x 20 rectangle at the bottom of a 300-high frame starts at row 280.
    EXPECT_EQ(flipRect(300, NSMakeRect(5, 0, 100, 20)), NSMakeRect(5, 280, 100, 20));
}

}  // namespace
}  // namespace vrs
