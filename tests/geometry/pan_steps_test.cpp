// SPDX-License-Identifier: MIT
#include "geometry/pan_steps.h"

#include <gtest/gtest.h>

#include <ostream>

namespace vrs {

std::ostream& operator<<(std::ostream& os, const CGRect& r);

namespace {

TEST(PanSteps, AnArrowMovesTheRegionATenthOfItsSize) {
    const CGRect region = NSMakeRect(400, 300, 800, 600);
    EXPECT_EQ(arrowPanRegion(region, 1, 0), NSMakeRect(480, 300, 800, 600));
    EXPECT_EQ(arrowPanRegion(region, 0, 1), NSMakeRect(400, 360, 800, 600));
    EXPECT_EQ(arrowPanRegion(region, -1, -1), NSMakeRect(320, 240, 800, 600));
}

// A 404 x 304 view showing (200, 700, 400, 300) of a view image: the picture
// point pressed stays under the pointer along the whole drag, and the region
// keeps its size.
TEST(PanSteps, ADragKeepsThePressedPicturePointUnderThePointer) {
    const CGRect area = NSMakeRect(2, 2, 400, 300);
    const CGRect atPress = NSMakeRect(200, 700, 400, 300);
    const ViewFrame f{area, area, atPress, NSMakeRect(0, 0, 1600, 1200), {1600, 1200}};
    const CGPoint press{200, 150};
    const CGPoint grabbed = NSMapPt(press, area, atPress);
    for (const CGPoint p : {CGPoint{210, 155}, CGPoint{260, 100}, CGPoint{137, 222}}) {
        const CGRect r = draggedRegion(f, atPress, press, p);
        const CGPoint under = NSMapPt(p, area, r);
        EXPECT_NEAR(under.x, grabbed.x, 1e-3);
        EXPECT_NEAR(under.y, grabbed.y, 1e-3);
        EXPECT_EQ(r.size, atPress.size);
    }
    // Right and down on the screen: the region moves left and up in the picture.
    const CGRect r = draggedRegion(f, atPress, press, {300, 40});
    EXPECT_LT(r.origin.x, atPress.origin.x);
    EXPECT_GT(r.origin.y, atPress.origin.y);
    EXPECT_EQ(draggedRegion(f, atPress, press, press), atPress);
}

}  // namespace
}  // namespace vrs
