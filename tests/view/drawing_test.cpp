// SPDX-License-Identifier: MIT
// The drawing pass: fitting, bezel, orientation, filtering, rubber band.
#include <gtest/gtest.h>

#include <QPainter>

#include "view_test_support.h"

namespace vrs::testing {
namespace {

constexpr Rgb kMagenta{255, 0, 255};
constexpr Rgb kBezel{190, 190, 190};

// Four quadrants of distinct colours: a flip or a mirror moves them.
Rgb quadrants(int x, int row, int w, int h) {
    const bool right = x >= w / 2;
    const bool bottom = row >= h / 2;
    if (!right && !bottom)
        return {220, 30, 40};
    if (right && !bottom)
        return {30, 200, 50};
    if (!right && bottom)
        return {40, 50, 210};
    return {240, 230, 20};
}

TEST(Drawing, FitsTheViewImageIntoTheInsetBoundsWithProportionsKept) {
    auto view = shownView(404, 304, makePicture(1600, 900, [](int x, int row) {
                              return quadrants(x, row, 1600, 900);
                          }));
    EXPECT_EQ(view->imageRect(), NSMakeRect(0, 0, 1600, 900));
    EXPECT_EQ(view->viewRect(), NSMakeRect(2, 39.5, 400, 225));

    // Drawn between Qt rows 39.5 and 264.5: top-left quadrant at the top left.
    const QImage shot = renderView(*view);
    EXPECT_EQ(pixelAt(shot, 100, 60), (Rgb{220, 30, 40}));
    EXPECT_EQ(pixelAt(shot, 300, 60), (Rgb{30, 200, 50}));
    EXPECT_EQ(pixelAt(shot, 100, 240), (Rgb{40, 50, 210}));
    EXPECT_EQ(pixelAt(shot, 300, 240), (Rgb{240, 230, 20}));
    // The margins above and below the picture show the bezel's gray.
    EXPECT_EQ(pixelAt(shot, 200, 20), kBezel);
    EXPECT_EQ(pixelAt(shot, 200, 290), kBezel);

    auto square = shownView(404, 304, makePicture(1600, 1200, nullptr));
    EXPECT_EQ(square->viewRect(), NSMakeRect(2, 2, 400, 300));
}

TEST(Drawing, APrintPassLeavesOutTheBezel) {
    auto view = shownView(404, 304, makePicture(1600, 900, [](int, int) { return Rgb{9, 9, 9}; }));
    EXPECT_EQ(pixelAt(renderView(*view), 200, 20), kBezel);
    QImage withoutBezel(view->size(), QImage::Format_RGB32);
    withoutBezel.fill(QColor(255, 0, 255));
    {
        QPainter painter(&withoutBezel);
        view->drawRect(painter, NSMakeRect(0, 0, 404, 304), MyImageView::Pass::Print);
    }
    EXPECT_EQ(pixelAt(withoutBezel, 200, 20), kMagenta);
    EXPECT_EQ(pixelAt(withoutBezel, 0, 0), kMagenta);
    EXPECT_EQ(pixelAt(withoutBezel, 200, 150), (Rgb{9, 9, 9})) << "the picture is still drawn";
    EXPECT_EQ(pixelAt(renderView(*view), 200, 20), kBezel) << "the next pass has it again";
}

TEST(Drawing, AViewWithoutImageDrawsTheBezelAndClipsToTheInset) {
    auto view = shownView(120, 80, nullptr);
    const QImage shot = renderView(*view);
    EXPECT_EQ(pixelAt(shot, 60, 40), kBezel);
    EXPECT_NE(pixelAt(shot, 0, 0), kMagenta) << "the frame covers the edge";
    EXPECT_EQ(view->imageRect(), NSZeroRect);
}

TEST(Drawing, EnlargesWithSquarePixels) {
    // 4 x 3 pixels into 400 x 300: each pixel a 100-point square, no blending.
    auto view = shownView(
        404, 304, makePicture(4, 3, [](int x, int row) {
            return Rgb{static_cast<std::uint8_t>(60 * x), static_cast<std::uint8_t>(100 * row), 77};
        }));
    const QImage shot = renderView(*view);
    EXPECT_EQ(pixelAt(shot, 2, 2), (Rgb{0, 0, 77}));
    EXPECT_EQ(pixelAt(shot, 101, 101), (Rgb{0, 0, 77}));
    EXPECT_EQ(pixelAt(shot, 102, 101), (Rgb{60, 0, 77}));
    EXPECT_EQ(pixelAt(shot, 102, 102), (Rgb{60, 100, 77}));
    EXPECT_EQ(pixelAt(shot, 401, 301), (Rgb{180, 200, 77}));
}

TEST(Drawing, ReducesWithAFilter) {
    // A one-pixel checkerboard reduced four times is gray, not black or white.
    auto view = shownView(404, 304, makePicture(1600, 1200, [](int x, int row) {
                              const std::uint8_t v = ((x + row) % 2) != 0 ? 255 : 0;
                              return Rgb{v, v, v};
                          }));
    const Rgb mid = pixelAt(renderView(*view), 200, 150);
    EXPECT_GT(mid.r, 90);
    EXPECT_LT(mid.r, 165);
}

TEST(Drawing, RubberBandOnlyWhilePressedWithABand) {
    auto view = shownView(404, 304, makePicture(400, 300, [](int, int) {
                              return Rgb{100, 100, 100};
                          }));
    pressAt(*view, {50, 250});
    moveTo(*view, {150, 200});
    const QImage during = renderView(*view);
    // White at alpha 0.2 over 100: 131.
    const Rgb inside = pixelAt(during, 100, 304 - 225);
    EXPECT_NEAR(inside.r, 131, 2);
    EXPECT_EQ(pixelAt(during, 250, 304 - 225), (Rgb{100, 100, 100}));
    // The dashed edge: dark and light pixels alternate along the top side.
    const int top = 304 - 250;
    int darker = 0;
    for (int x = 60; x < 140; ++x) {
        darker += pixelAt(during, x, top).r < 100 ? 1 : 0;
    }
    EXPECT_GT(darker, 20);
    EXPECT_LT(darker, 60);
    releaseAt(*view, {150, 200});
    const QImage after = renderView(*view);
    EXPECT_EQ(pixelAt(after, 200, 150), (Rgb{100, 100, 100})) << "no band after the release";
}

}  // namespace
}  // namespace vrs::testing
