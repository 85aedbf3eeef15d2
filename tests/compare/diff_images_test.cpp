// SPDX-License-Identifier: MIT
#include "compare/diff_images.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include "compare/diff_picture.h"
#include "decode/decoder.h"

namespace vrs {
namespace {

using Changes = std::set<std::pair<std::int64_t, std::int64_t>>;

std::uint8_t channel(const PlanarBitmap& bitmap, int plane, std::int64_t x, std::int64_t y) {
    return bitmap.plane(plane)[y * bitmap.bytesPerRow() + x];
}

bool isRed(const PlanarBitmap& bitmap, std::int64_t x, std::int64_t y) {
    return channel(bitmap, 0, x, y) == 255 && channel(bitmap, 1, x, y) == 0 &&
           channel(bitmap, 2, x, y) == 0;
}

// A decoded picture of varied colours, the pixels of `changes` another colour.
std::shared_ptr<PlanarBitmap> picture(std::int64_t w, std::int64_t h, const Changes& changes) {
    std::shared_ptr<PlanarBitmap> bitmap = MakeNewImageRep(w, h);
    for (std::int64_t y = 0; y < h; ++y) {
        for (std::int64_t x = 0; x < w; ++x) {
            const std::int64_t at = y * bitmap->bytesPerRow() + x;
            const bool changed = changes.count({x, y}) != 0;
            bitmap->plane(0)[at] = static_cast<std::uint8_t>(((x * 7) & 0xF0) ^ (changed ? 8 : 0));
            bitmap->plane(1)[at] = static_cast<std::uint8_t>((y * 5) & 0xF8);
            bitmap->plane(2)[at] = static_cast<std::uint8_t>((x + y) & 0xF8);
            bitmap->plane(3)[at] = 255;
        }
    }
    return bitmap;
}

// B narrower and taller than A: the difference covers the area both share,
// red exactly where a pixel changed; its view image, reduced by about two,
// keeps every changed pixel, also those in columns and rows the sampling
// skips, and nothing else is red.
TEST(DiffImages, TheViewKeepsEveryChangeOfTheSharedArea) {
    const Changes changes = {{1, 1}, {3201, 298}, {3201, 299}, {1601, 151}, {1603, 151}};
    const auto a = picture(3300, 300, {});
    const auto b = picture(3203, 401, changes);
    CompareOptions options;
    options.sharedArea = true;
    const ComparisonResult found =
        comparePictures(PictureSource::ofBitmap(*a), PictureSource::ofBitmap(*b), options);
    ASSERT_EQ(found.counts.differing, 5);
    const DiffImages diff = makeDiffImages(*a, *b, options, found.regions);
    ASSERT_TRUE(diff.full && diff.view) << static_cast<int>(diff.failure.problem);
    const PlanarBitmap& full = *diff.full->rep();
    ASSERT_EQ(full.width(), 3203);
    ASSERT_EQ(full.height(), 300);
    std::int64_t red = 0;
    for (std::int64_t y = 0; y < full.height(); ++y) {
        for (std::int64_t x = 0; x < full.width(); ++x) {
            red += isRed(full, x, y) ? 1 : 0;
        }
    }
    EXPECT_EQ(red, 5);
    for (const auto& [x, y] : changes) {
        EXPECT_TRUE(isRed(full, x, y)) << x << "," << y;
    }

    const PlanarBitmap& view = *diff.view->rep();
    const ViewSize size = viewSizeFor(3203, 300);
    ASSERT_EQ(view.width(), size.width);
    ASSERT_EQ(view.height(), size.height);
    // The sampler's column and row of each, the last row of the picture on
    // the view's last row.
    Changes expected;
    for (const auto& [x, y] : changes) {
        expected.insert({static_cast<std::int64_t>(static_cast<double>(x) * size.scale),
                         std::min(static_cast<std::int64_t>(static_cast<double>(y) * size.scale),
                                  size.height - 1)});
    }
    Changes shown;
    for (std::int64_t y = 0; y < view.height(); ++y) {
        for (std::int64_t x = 0; x < view.width(); ++x) {
            if (isRed(view, x, y)) {
                shown.insert({x, y});
            }
        }
    }
    EXPECT_EQ(shown, expected);
    // The single pixel at (1, 1) has an outline a few view pixels wide.
    EXPECT_EQ(channel(view, 2, 4, 0), DiffColours::kOutline[2]);
}

}  // namespace
}  // namespace vrs
