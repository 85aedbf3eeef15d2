// SPDX-License-Identifier: MIT
#include "view/plane_pixels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace vrs {
namespace {

TEST(PixelBlock, CoversTheRegionWithWholePixelsCountingRowsFromTheTop) {
    // y-up 20.2 .. 23.2 touches rows (from the top) 26 .. 29 of a 50-high image.
    const PixelBlock box = pixelBoxFor(NSMakeRect(10.5, 20.2, 5, 3), 100, 50);
    EXPECT_EQ(box, (PixelBlock{10, 26, 6, 4}));
    EXPECT_EQ(regionOfBox(box, 50), NSMakeRect(10, 20, 6, 4));
}

TEST(PixelBlock, IsCutToTheImageAndEmptyOutsideIt) {
    EXPECT_EQ(pixelBoxFor(NSMakeRect(-5, -5, 10, 10), 100, 50), (PixelBlock{0, 45, 5, 5}));
    EXPECT_EQ(pixelBoxFor(NSMakeRect(95, 45, 10, 10), 100, 50), (PixelBlock{95, 0, 5, 5}));
    EXPECT_TRUE(pixelBoxFor(NSMakeRect(100, 0, 10, 10), 100, 50).empty());
    EXPECT_TRUE(pixelBoxFor(NSMakeRect(-20, 0, 10, 10), 100, 50).empty());
    EXPECT_TRUE(pixelBoxFor(NSMakeRect(std::nan(""), 0, 10, 10), 100, 50).empty());
    EXPECT_TRUE(pixelBoxFor(NSMakeRect(0, 0, INFINITY, NAN), 100, 50).empty());
}

TEST(PixelBlock, CopiesChannelsInPlaceAndOrder) {
    auto rep = MakeNewImageRep(7, 5);
    ASSERT_TRUE(rep);
    const auto stride = static_cast<std::size_t>(rep->bytesPerRow());
    for (std::size_t row = 0; row < 5; ++row) {
        for (std::size_t x = 0; x < 7; ++x) {
            rep->plane(0)[row * stride + x] = static_cast<std::uint8_t>(10 * x + row);
            rep->plane(1)[row * stride + x] = static_cast<std::uint8_t>(100 + row);
            rep->plane(2)[row * stride + x] = static_cast<std::uint8_t>(200 + x);
        }
    }
    // Rows 1..2 from the top, columns 3..5.
    std::vector<std::uint32_t> out(2 * 4, 0);
    copyToRgb32(*rep, {3, 1, 3, 2}, out.data(), 4);
    EXPECT_EQ(out[0], 0xff000000u | (31u << 16) | (101u << 8) | 203u);
    EXPECT_EQ(out[2], 0xff000000u | (51u << 16) | (101u << 8) | 205u);
    EXPECT_EQ(out[4], 0xff000000u | (32u << 16) | (102u << 8) | 203u);
    EXPECT_EQ(out[3], 0u) << "the stride's padding is not written";
}

}  // namespace
}  // namespace vrs
