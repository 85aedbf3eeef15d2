// SPDX-License-Identifier: MIT
#include "geometry/zoom_steps.h"

#include <gtest/gtest.h>

#include <ostream>

namespace vrs {

std::ostream& operator<<(std::ostream& os, const CGRect& r);

namespace {

// A 404 x 304 view showing all of a 1600 x 1200 view image of a 3200 x 2400 picture.
ViewFrame wholeFrame(CGSize full = {3200, 2400}) {
    const CGRect area = NSMakeRect(2, 2, 400, 300);
    return {area, area, NSMakeRect(0, 0, 1600, 1200), NSMakeRect(0, 0, 1600, 1200), full};
}

ViewFrame zoomedFrame(CGRect src, CGSize full = {3200, 2400}) {
    ViewFrame f = wholeFrame(full);
    f.src = src;
    return f;
}

TEST(ZoomSteps, ActualSizeIsOnePointPerPictureWholePixelsInsideThePicture) {
    // About the centre: 400 x 300 picture pixels are 200 x 150 view-image ones.
    EXPECT_EQ(actualSizeRegion(wholeFrame()), NSMakeRect(700, 525, 200, 150));
    // Near the left edge the region stays inside; its origin is a whole pixel.
    EXPECT_EQ(actualSizeRegion(zoomedFrame(NSMakeRect(0, 500.25, 100, 75))),
              NSMakeRect(0, 463, 200, 150));
    // A picture smaller than the view is centred on it, 100 points of gray
    // left and right, 50 above and below.
    const ViewFrame small = {NSMakeRect(2, 2, 400, 300),
                             NSMakeRect(27, 2, 350, 300),
                             NSMakeRect(0, 0, 350, 300),
                             NSMakeRect(0, 0, 350, 300),
                             {350, 300}};
    EXPECT_EQ(actualSizeRegion(small), NSMakeRect(-25, 0, 400, 300));
    // A letterboxed view widens the shown region to the whole area first.
    const ViewFrame wide = {NSMakeRect(2, 2, 400, 300),
                            NSMakeRect(2, 39.5, 400, 225),
                            NSMakeRect(0, 0, 1600, 900),
                            NSMakeRect(0, 0, 1600, 900),
                            {4800, 2700}};
    const CGRect r = actualSizeRegion(wide);
    EXPECT_DOUBLE_EQ(r.size.width * 3, 400);
    EXPECT_DOUBLE_EQ(r.size.height, 100);
    EXPECT_DOUBLE_EQ(r.origin.x * 3, 2200);
    EXPECT_DOUBLE_EQ(r.origin.y * 3, 1200);
    EXPECT_DOUBLE_EQ(
        zoomPercent({wide.area, NSProportionalRect(wide.area, r, 0), r, wide.imageRect, wide.full}),
        100);
}

// F1 on a 1600 x 1200 view image in a 404 x 304 view (four pixels a point).
TEST(ZoomSteps, F1HalvesAboutThePointerUntilAHundredPixelsThenShowsTheWhole) {
    // Over the middle: 800, 400, 200, 100 wide about the middle, then the whole.
    ViewFrame f = wholeFrame();
    for (const double w : {800.0, 400.0, 200.0, 100.0}) {
        f = zoomedFrame(zoomKeyRegion(f, {202, 152}));
        EXPECT_DOUBLE_EQ(f.src.size.width, w);
        EXPECT_DOUBLE_EQ(f.src.size.height, w * 0.75);
        EXPECT_DOUBLE_EQ(f.src.origin.x + w / 2, 800) << "the middle stays in the middle";
        EXPECT_DOUBLE_EQ(f.src.origin.y + w * 0.75 / 2, 600);
    }
    EXPECT_EQ(zoomKeyRegion(f, {202, 152}), NSZeroRect);
    // Off centre: the picture point under the pointer, (400, 800), stays there.
    const CGRect r = zoomKeyRegion(wholeFrame(), {102, 202});
    EXPECT_EQ(r, NSMakeRect(200, 400, 800, 600));
    EXPECT_EQ(NSMapPt({102, 202}, NSMakeRect(2, 2, 400, 300), r), (CGPoint{400, 800}));
    // Over the margin, on a region panned past the left edge: about its
    // centre, clipped to the picture.
    EXPECT_EQ(zoomKeyRegion(zoomedFrame(NSMakeRect(-150, 700, 400, 300)), {1, 1}),
              NSMakeRect(0, 775, 150, 150));
}

// A band on the same view: carried into the view image, small ones grown
// about their centre to twice their size.
TEST(ZoomSteps, ABandBecomesTheRegionNarrowAndLowBandsGrown) {
    EXPECT_EQ(bandRegion(wholeFrame(), NSMakeRect(52, 177, 100, 75)),
              NSMakeRect(200, 700, 400, 300));
    EXPECT_EQ(grownBand(NSMakeRect(100, 184, 5, 20)), NSMakeRect(97.5, 184, 10, 20));
    EXPECT_EQ(bandRegion(wholeFrame(), NSMakeRect(100, 184, 5, 20)),
              NSMakeRect((97.5 - 2) * 4, (184 - 2) * 4, 40, 80));
    EXPECT_EQ(grownBand(NSMakeRect(100, 100, 3, 3)), NSMakeRect(98.5, 98.5, 6, 6));
    EXPECT_EQ(grownBand(NSMakeRect(100, 100, 8, 8)), NSMakeRect(100, 100, 8, 8)) << "8 stays";
}

TEST(ZoomSteps, ZoomInAndOutByTwoAboutTheCentreBackToTheWholePicture) {
    EXPECT_EQ(zoomInRegion(wholeFrame(), {800, 600}), NSMakeRect(400, 300, 800, 600));
    // Letterboxed 1600 x 900: the region fills the view, out again is the whole.
    const ViewFrame wide = {NSMakeRect(2, 2, 400, 300),
                            NSMakeRect(2, 39.5, 400, 225),
                            NSMakeRect(0, 0, 1600, 900),
                            NSMakeRect(0, 0, 1600, 900),
                            {1600, 900}};
    const std::optional<CGRect> in = zoomInRegion(wide, {800, 450});
    ASSERT_TRUE(in);
    EXPECT_EQ(*in, NSMakeRect(400, 150, 800, 600));
    EXPECT_EQ(zoomOutRegion(zoomedFrame(*in, {1600, 900}), {800, 450}, false), NSZeroRect);
    EXPECT_EQ(zoomOutRegion(wide, {800, 450}, true), std::nullopt) << "out at the whole picture";
    EXPECT_EQ(zoomOutRegion(zoomedFrame(NSMakeRect(600, 400, 200, 150)), {700, 475}, false),
              NSMakeRect(500, 325, 400, 300));
    // In stops at 32 points per picture pixel: 12.5 pixels across 400 points.
    EXPECT_TRUE(zoomInRegion(zoomedFrame(NSMakeRect(0, 0, 25, 18.75), {1600, 1200}), {1, 1}));
    EXPECT_FALSE(zoomInRegion(zoomedFrame(NSMakeRect(0, 0, 12.5, 9.375), {1600, 1200}), {1, 1}));
}

TEST(ZoomSteps, WheelZoomKeepsThePointUnderThePointer) {
    const ViewFrame f = zoomedFrame(NSMakeRect(100, 50, 400, 300));
    const CGPoint pointer{313, 71};  // off centre, in view coordinates
    const CGPoint p = NSMapPt(pointer, f.viewRect, f.src);
    for (const bool in : {true, false}) {
        const std::optional<CGRect> r = in ? zoomInRegion(f, p) : zoomOutRegion(f, p, false);
        ASSERT_TRUE(r);
        EXPECT_DOUBLE_EQ(r->size.width, in ? 200 : 800);
        const CGPoint under = NSMapPt(pointer, NSProportionalRect(f.area, *r, 0), *r);
        EXPECT_NEAR(under.x, p.x, 1e-3);
        EXPECT_NEAR(under.y, p.y, 1e-3);
    }
}

// A frame showing `region` (full-image coordinates) in 400 x 300 points.
bool detail(CGRect region, CGRect imageRect, CGSize full, double devicePixelRatio = 1) {
    ViewFrame f{NSMakeRect(2, 2, 400, 300), NSMakeRect(2, 2, 400, 300), NSZeroRect, imageRect,
                full};
    f.devicePixelRatio = devicePixelRatio;
    f.fullRegion = region;
    return showsFullDetail(f);
}

TEST(ZoomSteps, FullDetailWhenTheViewImageWouldBeEnlargedAndTheCropStaysSmall) {
    const CGRect half = NSMakeRect(0, 0, 1600, 1200);
    EXPECT_TRUE(detail(NSMakeRect(0, 0, 400, 300), half, {3200, 2400}));
    EXPECT_FALSE(detail(NSMakeRect(0, 0, 801, 600), half, {3200, 2400}))
        << "the view image is not enlarged";
    EXPECT_FALSE(detail(NSMakeRect(0, 0, 400, 300), half, {1600, 1200}))
        << "no more detail in the full image";
    const CGRect tenth = NSMakeRect(0, 0, 1600, 1200);
    EXPECT_TRUE(detail(NSMakeRect(0, 0, 800, 600), tenth, {16000, 12000}));
    EXPECT_FALSE(detail(NSMakeRect(0, 0, 801, 600), tenth, {16000, 12000}))
        << "a crop more than twice the view";
    EXPECT_TRUE(detail(NSMakeRect(0, 0, 1600, 1200), tenth, {16000, 12000}, 2))
        << "twice the view in device pixels";
    EXPECT_DOUBLE_EQ(zoomPercent(wholeFrame()), 12.5);
}

}  // namespace
}  // namespace vrs
