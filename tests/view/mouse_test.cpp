// SPDX-License-Identifier: MIT
// Zoom and pan with real mouse events; the regions themselves are tested in
// zoom_steps_test.cpp and pan_steps_test.cpp.
#include <gtest/gtest.h>
#include <QTest>

#include "view_test_support.h"

namespace vrs::testing {
namespace {

// 1600 x 1200 in a 404 x 304 view: viewRect (2, 2, 400, 300), four image
// pixels per point.
std::unique_ptr<MyImageView> zoomableView() {
    return shownView(404, 304, makePicture(1600, 1200, nullptr));
}

TEST(Mouse, ABandBecomesTheShownRegion) {
    auto view = zoomableView();
    pressAt(*view, {52, 252});
    EXPECT_EQ(view->cursor().shape(), Qt::BitmapCursor) << "the zoom cursor";
    EXPECT_FALSE(view->cursor().pixmap().isNull());
    moveTo(*view, {100, 200});
    moveTo(*view, {152, 177});
    releaseAt(*view, {152, 177});
    // Band (52, 177, 100, 75) carried into the image: four pixels per point.
    EXPECT_EQ(view->clipedRect(), NSMakeRect(200, 700, 400, 300));
    EXPECT_EQ(view->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(view->viewRect(), NSMakeRect(2, 2, 400, 300)) << "same proportions";

    // Dragged backwards over the same corners: the same region.
    auto back = zoomableView();
    dragBand(*back, {152, 177}, {52, 252});
    EXPECT_EQ(back->clipedRect(), NSMakeRect(200, 700, 400, 300));
}

TEST(Mouse, AFlatBandOrAClickShowsTheWholePicture) {
    auto view = zoomableView();
    dragBand(*view, {50, 100}, {250, 100});
    EXPECT_TRUE(NSIsEmptyRect(view->clipedRect()));

    dragBand(*view, {52, 252}, {152, 177});
    ASSERT_FALSE(NSIsEmptyRect(view->clipedRect()));
    pressAt(*view, {200, 150});
    EXPECT_EQ(view->cursor().shape(), Qt::OpenHandCursor);
    releaseAt(*view, {200, 150});
    EXPECT_TRUE(NSIsEmptyRect(view->clipedRect()));
    EXPECT_EQ(view->viewRect(), NSMakeRect(2, 2, 400, 300));
}

TEST(Mouse, APanKeepsThePressedImagePointUnderThePointer) {
    auto view = zoomableView();
    dragBand(*view, {52, 252}, {152, 177});
    const CGRect atPress = view->clipedRect();
    const CGRect shownIn = view->viewRect();
    const CGPoint press{200, 150};
    const CGPoint grabbed = NSMapPt(press, shownIn, atPress);

    pressAt(*view, press);
    const CGPoint path[] = {{210, 155}, {260, 100}, {137, 222}, {300, 40}};
    for (const CGPoint p : path) {
        moveTo(*view, p);
        const CGPoint under = NSMapPt(p, view->viewRect(), view->clipedRect());
        EXPECT_NEAR(under.x, grabbed.x, 1e-3);
        EXPECT_NEAR(under.y, grabbed.y, 1e-3);
        EXPECT_EQ(view->clipedRect().size, atPress.size);
    }
    // Right and down on the screen: the region moves left and up in the image.
    EXPECT_LT(view->clipedRect().origin.x, atPress.origin.x);
    EXPECT_GT(view->clipedRect().origin.y, atPress.origin.y);
    const CGRect panned = view->clipedRect();
    releaseAt(*view, {300, 40});
    EXPECT_EQ(view->clipedRect(), panned) << "a release after a pan keeps the region";
    EXPECT_EQ(view->cursor().shape(), Qt::ArrowCursor);
}

TEST(Mouse, EventsWithoutAPressOrOtherButtonsChangeNothing) {
    auto view = zoomableView();
    dragBand(*view, {52, 252}, {152, 177});
    const CGRect region = view->clipedRect();
    QTest::mouseMove(view.get(), qtPoint(*view, 10, 10));
    view->mouseDragged({10, 10});
    EXPECT_EQ(view->clipedRect(), region);
    QTest::mouseClick(view.get(), Qt::RightButton, {}, qtPoint(*view, 200, 150));
    EXPECT_EQ(view->clipedRect(), region);
    view->mouseUp();  // idle: redraw only
    EXPECT_EQ(view->clipedRect(), region);
}

}  // namespace
}  // namespace vrs::testing
