// SPDX-License-Identifier: MIT
#include "geometry/view_frame.h"

#include <gtest/gtest.h>

#include "geometry/zoom_steps.h"

namespace vrs {
namespace {

// A 404 x 304 point view of a 400 x 300 view image of a 1500 x 1125 picture.
ViewState state(CGRect shown, bool commandRegion = false, double devicePixelRatio = 1) {
    return {shown, commandRegion, {404, 304}, devicePixelRatio, {400, 300}, {1500, 1125}};
}

TEST(ViewFrame, FitsTheShownRegionAndDrawsFromTheFullImageBelowATenth) {
    const auto whole = viewFrame(state(NSZeroRect));
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->viewRect, NSMakeRect(2, 2, 400, 300));
    EXPECT_EQ(whole->fullRegion, NSMakeRect(0, 0, 1500, 1125));
    EXPECT_FALSE(whole->fromFull);
    // 3.75 full-image pixels per view-image pixel: 40 x 30 is exactly a tenth.
    EXPECT_FALSE(viewFrame(state(NSMakeRect(0, 0, 40, 30)))->fromFull);
    EXPECT_TRUE(viewFrame(state(NSMakeRect(0, 0, 39, 30)))->fromFull);
    EXPECT_TRUE(viewFrame(state(NSMakeRect(0, 0, 400, 29)))->fromFull);
    // Half the picture: only a zoom command's region takes detail from the full image.
    EXPECT_FALSE(viewFrame(state(NSMakeRect(100, 75, 200, 150)))->fromFull);
    EXPECT_TRUE(viewFrame(state(NSMakeRect(100, 75, 200, 150), true))->fromFull);
    ViewState none = state(NSMakeRect(0, 0, 39, 30));
    none.full = {};
    EXPECT_FALSE(viewFrame(none)->fromFull) << "no full image";
    none.viewImage = {};
    EXPECT_FALSE(viewFrame(none)) << "no picture";
}

TEST(ViewFrame, ActualSizeIsOneDevicePixelPerPicturePixelAtAnyScale) {
    for (const double ratio : {1.0, 1.5, 2.0}) {
        const auto frame = viewFrame(state(NSZeroRect, false, ratio));
        ASSERT_TRUE(frame);
        const CGRect region = actualSizeRegion(*frame);
        ViewState zoomed = state(region, true, ratio);
        const auto shown = viewFrame(zoomed);
        ASSERT_TRUE(shown);
        EXPECT_DOUBLE_EQ(shown->fullRegion.size.width, 400 * ratio) << ratio;
        EXPECT_DOUBLE_EQ(shown->viewRect.size.width * ratio, shown->fullRegion.size.width);
        EXPECT_NEAR(zoomPercent(*shown), 100, 1e-4) << ratio;
    }
}

}  // namespace
}  // namespace vrs
