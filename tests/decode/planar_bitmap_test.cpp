// SPDX-License-Identifier: MIT
#include "decode/planar_bitmap.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace vrs {
namespace {

TEST(PlanarBitmapTest, BytesPerRowIsNextMultipleOf16AboveFourTimesWidth) {
    EXPECT_EQ(planarBytesPerRow(1), 16);
    EXPECT_EQ(planarBytesPerRow(3), 16);
    EXPECT_EQ(planarBytesPerRow(4), 32);
    EXPECT_EQ(planarBytesPerRow(1600), 6416);
    EXPECT_EQ(planarBytesPerRow(0), 16);
    EXPECT_EQ(planarBytesPerRow(-1), -1);
    EXPECT_EQ(planarBytesPerRow(INT64_MAX / 4), -1);
}

TEST(PlanarBitmapTest, MakesFourSeparateClearedPlanes) {
    auto bitmap = MakeNewImageRep(1600, 1200);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->width(), 1600);
    EXPECT_EQ(bitmap->height(), 1200);
    EXPECT_EQ(bitmap->bytesPerRow(), 6416);
    EXPECT_EQ(bitmap->planeSize(), 7699200U);
    std::uint8_t* planes[5];
    bitmap->getBitmapDataPlanes(planes);
    EXPECT_EQ(planes[4], nullptr);
    for (int i = 0; i < 4; ++i) {
        ASSERT_NE(planes[i], nullptr);
        EXPECT_EQ(planes[i], bitmap->plane(i));
        EXPECT_EQ(planes[i][0], 0);
        EXPECT_EQ(planes[i][bitmap->planeSize() - 1], 0);
        planes[i][bitmap->planeSize() - 1] =
            static_cast<std::uint8_t>(i + 1);  // writable to the end
        for (int j = 0; j < i; ++j) {
            EXPECT_NE(planes[i], planes[j]);
        }
    }
}

// Huge pages can only back a plane that starts on a 2 MiB boundary.
TEST(PlanarBitmapTest, PlanesOfTwoMebibytesOrMoreStartOnA2MiBBoundary) {
    auto bitmap = MakeNewImageRep(1600, 1200);
    ASSERT_TRUE(bitmap);
    bitmap->plane(2)[5] = 7;
    bitmap->willWriteWholePlanes();
    EXPECT_EQ(bitmap->plane(2)[5], 7);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(bitmap->plane(i)) % (std::uintptr_t{2} << 20),
                  0U);
    }
}

TEST(PlanarBitmapTest, ZeroSizeGivesAnEmptyBitmap) {
    for (auto [w, h] : {std::pair<std::int64_t, std::int64_t>{0, 0}, {1601, 0}, {0, 5}}) {
        auto bitmap = MakeNewImageRep(w, h);
        ASSERT_TRUE(bitmap) << w << " x " << h;
        EXPECT_EQ(bitmap->width(), w);
        EXPECT_EQ(bitmap->height(), h);
        EXPECT_EQ(bitmap->planeSize(), 0U);
    }
}

TEST(PlanarBitmapTest, RefusesNegativeOverflowingAndImpossibleSizes) {
    EXPECT_FALSE(MakeNewImageRep(-1, 10));
    EXPECT_FALSE(MakeNewImageRep(10, -1));
    EXPECT_FALSE(MakeNewImageRep(std::int64_t{1} << 20, std::int64_t{1} << 20));  // 1 << 40 pixels
    EXPECT_FALSE(MakeNewImageRep(INT64_MAX, 1));
    EXPECT_FALSE(MakeNewImageRep(1, INT64_MAX));
    EXPECT_FALSE(MakeNewImageRep(std::int64_t{1} << 40, 1));
}

}  // namespace
}  // namespace vrs
