// SPDX-License-Identifier: MIT
// The zoom commands and the wheel on a real view, and the copy of what is shown.
#include <gtest/gtest.h>
#include <QSignalSpy>
#include <QWheelEvent>

#include "view_test_support.h"

namespace vrs::testing {
namespace {

constexpr Rgb kViewBlue{0, 0, 200};

// Every pixel of an 800 x 600 full image tells where it is, rows from the top.
Rgb fullPixel(int x, int row) {
    return {static_cast<std::uint8_t>(x & 255), static_cast<std::uint8_t>(row & 255),
            static_cast<std::uint8_t>(((x >> 8) << 4) | (row >> 8))};
}

// The view holds the full image without owning it.
std::unique_ptr<MyImageView> halvedView() {
    static const auto full = makePicture(800, 600, fullPixel);
    return shownView(404, 304, makePicture(400, 300, [](int, int) { return kViewBlue; }), full);
}

void wheel(MyImageView& view, CGPoint p, int delta) {
    const QPointF at = qtPoint(view, p.x, p.y);
    QWheelEvent event(at, view.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&view, &event);
}

TEST(ZoomCommands, TouchpadStepsMakeANotchAboutThePointerAndANotchBackShowsAll) {
    auto view = halvedView();
    wheel(*view, {102, 77}, 40);
    wheel(*view, {102, 77}, 40);
    EXPECT_TRUE(NSIsEmptyRect(view->clipedRect())) << "two thirds of a notch";
    wheel(*view, {102, 77}, 40);
    EXPECT_EQ(view->clipedRect(), NSMakeRect(50, 37.5, 200, 150)) << "view-image (100, 75) stays";
    wheel(*view, {102, 77}, -120);
    EXPECT_TRUE(NSIsEmptyRect(view->clipedRect()));
    ASSERT_TRUE(waitForCrops(*view));
}

TEST(ZoomCommands, TheWheelLeavesABandBeingDrawnAlone) {
    auto view = halvedView();
    view->mouseDown({50, 60});
    view->mouseDragged({151, 121});
    wheel(*view, {102, 77}, 120);
    EXPECT_TRUE(NSIsEmptyRect(view->clipedRect())) << "the band is drawn on the whole picture";
    view->mouseUp();
    EXPECT_EQ(view->clipedRect(), NSMakeRect(48, 58, 101, 61));
    ASSERT_TRUE(waitForCrops(*view));
}

TEST(ZoomCommands, ActualSizeDrawsFullImagePixelsOneToOneAndCopiesThem) {
    auto view = halvedView();
    QSignalSpy drawn(view.get(), &MyImageView::cropDrawn);
    QSignalSpy zoom(view.get(), &MyImageView::zoomChanged);
    view->actualSize();
    // Half the picture: the view image alone would do for F1 or a band.
    ASSERT_EQ(view->clipedRect(), NSMakeRect(100, 75, 200, 150));
    ASSERT_TRUE(drawn.wait(10000));
    ASSERT_FALSE(zoom.isEmpty());
    EXPECT_DOUBLE_EQ(zoom.last().at(0).toDouble(), 100);
    view->hide();
    ASSERT_TRUE(waitForCrops(*view));
    const QImage shot = renderView(*view);
    // Point (2 + i, 2 + j) from the top shows full pixel (200 + i, 150 + j).
    for (const int i : {0, 1, 2, 157, 399}) {
        EXPECT_EQ(pixelAt(shot, 2 + i, 2 + i * 3 / 4), fullPixel(200 + i, 150 + i * 3 / 4));
    }
    QSize tooLarge;
    const QImage copy = view->shownPixels(400 * 300, &tooLarge);
    ASSERT_EQ(copy.size(), QSize(400, 300));
    EXPECT_EQ(pixelAt(copy, 0, 0), fullPixel(200, 150));
    EXPECT_EQ(pixelAt(copy, 399, 299), fullPixel(599, 449));
    EXPECT_TRUE(view->shownPixels(400 * 300 - 1, &tooLarge).isNull());
    EXPECT_EQ(tooLarge, QSize(400, 300));
    ASSERT_TRUE(waitForCrops(*view));
}

TEST(ZoomCommands, OnlyTheCommandsOwnRegionTakesDetailFromTheFullImage) {
    auto view = halvedView();
    QSignalSpy drawn(view.get(), &MyImageView::cropDrawn);
    view->actualSize();
    ASSERT_TRUE(drawn.wait(10000));
    ASSERT_TRUE(waitForCrops(*view));
    view->mouseDown({10, 10});
    view->mouseUp();  // a click: the whole picture
    drawn.clear();
    // A band of the same size: half the picture, drawn from the view image.
    dragBand(*view, {102, 77}, {302, 227});
    ASSERT_EQ(view->clipedRect(), NSMakeRect(100, 75, 200, 150));
    EXPECT_FALSE(view->waitingForCrop());
    ASSERT_TRUE(waitForCrops(*view));
    QCoreApplication::processEvents();
    EXPECT_EQ(drawn.count(), 0);
}

}  // namespace
}  // namespace vrs::testing
