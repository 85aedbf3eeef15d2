// SPDX-License-Identifier: MIT
#include "view/area_reduce.h"

#include <gtest/gtest.h>

#include <QImage>
#include <vector>

#include "view/reduced_pixels.h"

namespace vrs {
namespace {

constexpr std::uint32_t rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return 0xff000000u | (r << 16) | (g << 8) | b;
}

TEST(AreaReduce, AveragesTheAreaEachPixelCovers) {
    // 4 x 2 -> 2 x 1: each output pixel is the mean of a 2 x 2 block.
    const std::vector<std::uint32_t> in = {rgb(0, 10, 200), rgb(100, 10, 200), rgb(40, 0, 0),
                                           rgb(40, 0, 0),   rgb(200, 30, 100), rgb(100, 30, 100),
                                           rgb(40, 255, 0), rgb(40, 255, 0)};
    std::vector<std::uint32_t> out(2, 0);
    reduceArea({in.data(), 4, 4, 2}, {0, 0, 4, 2}, out.data(), 2, 2, 1);
    EXPECT_EQ(out[0], rgb(100, 20, 150));
    EXPECT_EQ(out[1], rgb(40, 128, 0));  // 127.5 rounds up
}

TEST(AreaReduce, WeighsFractionalEdges) {
    // One row 0, 100, 200; the area 0.5 .. 2.5 into one pixel:
    // (0.5 x 0 + 1 x 100 + 0.5 x 200) / 2 = 100.
    const std::vector<std::uint32_t> in = {rgb(0, 0, 0), rgb(100, 0, 0), rgb(200, 0, 0)};
    std::uint32_t out = 0;
    reduceArea({in.data(), 3, 3, 1}, {0.5, 0, 2, 1}, &out, 1, 1, 1);
    EXPECT_EQ(out, rgb(100, 0, 0));
    // The area 1.75 .. 2.75: a quarter of 100 and three quarters of 200.
    reduceArea({in.data(), 3, 3, 1}, {1.75, 0, 1, 1}, &out, 1, 1, 1);
    EXPECT_EQ(out, rgb(175, 0, 0));
}

// A reduction kept or made ahead serves its own image, part and size only.
TEST(ReducedPixels, ServesAKeptReductionOnlyForItsOwnKey) {
    QImage pixels(7, 5, QImage::Format_RGB32);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) {
            pixels.setPixel(
                x, y,
                rgb(static_cast<std::uint32_t>(x * 37), static_cast<std::uint32_t>(y * 50),
                    static_cast<std::uint32_t>((x * y * 11) & 0xff)));
        }
    }
    const ReducedPixels::Key left{pixels.cacheKey(), QRectF(0, 0, 4, 5), QSize(2, 3)};
    const ReducedPixels::Key right{pixels.cacheKey(), QRectF(3, 0, 4, 5), QSize(2, 3)};
    const ReducedPixels::Key smaller{pixels.cacheKey(), QRectF(0, 0, 4, 5), QSize(1, 2)};
    const QImage leftReduced = reducePixels(pixels, left.source, left.size);
    const QImage rightReduced = reducePixels(pixels, right.source, right.size);
    ASSERT_NE(leftReduced, rightReduced);

    ReducedPixels reduced;
    reduced.prepare(pixels, left);
    EXPECT_EQ(reduced.reduction(pixels, right), rightReduced);
    EXPECT_EQ(reduced.reduction(pixels, left), leftReduced);
    EXPECT_EQ(reduced.reduction(pixels, smaller).size(), QSize(1, 2));
    // Other pixels, the same part and size: reduced again.
    QImage other = pixels.copy();
    other.setPixel(0, 0, rgb(255, 255, 255));
    const ReducedPixels::Key otherLeft{other.cacheKey(), left.source, left.size};
    EXPECT_EQ(reduced.reduction(pixels, left), leftReduced);
    EXPECT_EQ(reduced.reduction(other, otherLeft), reducePixels(other, left.source, left.size));
    EXPECT_NE(reduced.reduction(other, otherLeft), leftReduced);
}

}  // namespace
}  // namespace vrs
