// SPDX-License-Identifier: MIT
#include "vrscreen/rect.h"

#include <gtest/gtest.h>

namespace vrs {
namespace {

TEST(RectTest, SetRectTakesHorizontalBeforeVertical) {
    Rect r;
    SetRect(&r, 20, 10, 660, 490);
    EXPECT_EQ(r.top, 10);
    EXPECT_EQ(r.left, 20);
    EXPECT_EQ(r.bottom, 490);
    EXPECT_EQ(r.right, 660);
    SetRect(nullptr, 1, 2, 3, 4);  // accepted, nothing written
}

TEST(RectTest, OffsetRectMovesAndWrapsIn16Bits) {
    Rect r;
    SetRect(&r, 20, 10, 660, 490);
    OffsetRect(&r, -20, -10);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 640);
    EXPECT_EQ(r.bottom, 480);

    Rect wide;
    SetRect(&wide, -20000, 0, 20000, 5);
    OffsetRect(&wide, 20000, 0);
    EXPECT_EQ(wide.left, 0);
    EXPECT_EQ(wide.right, -25536);  // 40000 wrapped, not saturated
    EXPECT_TRUE(EmptyRect(&wide));
    OffsetRect(nullptr, 1, 1);
}

TEST(RectTest, EmptyRectComparesSigned) {
    Rect r;
    SetRect(&r, 5, 0, 5, 10);
    EXPECT_TRUE(EmptyRect(&r));
    SetRect(&r, 0, 7, 10, 7);
    EXPECT_TRUE(EmptyRect(&r));
    SetRect(&r, -10, -10, -9, -9);
    EXPECT_FALSE(EmptyRect(&r));
    SetRect(&r, 0, 0, -32768, 10);
    EXPECT_TRUE(EmptyRect(&r));
    EXPECT_TRUE(EmptyRect(nullptr));
}

TEST(RectTest, SectRectIntersectsAndZeroesOnMiss) {
    Rect a;
    Rect b;
    Rect d;
    SetRect(&a, 0, 0, 100, 50);
    SetRect(&b, 60, 20, 200, 300);
    EXPECT_TRUE(SectRect(&a, &b, &d));
    EXPECT_EQ(d.left, 60);
    EXPECT_EQ(d.top, 20);
    EXPECT_EQ(d.right, 100);
    EXPECT_EQ(d.bottom, 50);

    // Touching along an edge is no overlap.
    SetRect(&b, 100, 0, 120, 50);
    SetRect(&d, 1, 2, 3, 4);
    EXPECT_FALSE(SectRect(&a, &b, &d));
    EXPECT_EQ(d.left, 0);
    EXPECT_EQ(d.top, 0);
    EXPECT_EQ(d.right, 0);
    EXPECT_EQ(d.bottom, 0);

    // A null source zeroes the destination too; a null destination is left alone.
    SetRect(&d, 1, 2, 3, 4);
    EXPECT_FALSE(SectRect(&a, nullptr, &d));
    EXPECT_EQ(d.right, 0);
    EXPECT_FALSE(SectRect(&a, &a, nullptr));
}

TEST(RectTest, SectRectMayWriteIntoItsInput) {
    Rect a;
    Rect b;
    SetRect(&a, 0, 0, 100, 50);
    SetRect(&b, 10, 5, 40, 200);
    EXPECT_TRUE(SectRect(&a, &b, &a));
    EXPECT_EQ(a.left, 10);
    EXPECT_EQ(a.top, 5);
    EXPECT_EQ(a.right, 40);
    EXPECT_EQ(a.bottom, 50);
}

}  // namespace
}  // namespace vrs
