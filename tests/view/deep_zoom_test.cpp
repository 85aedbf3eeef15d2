// SPDX-License-Identifier: MIT
// Deep zoom: small regions come from the full image, cut on a drawing thread.
#include <gtest/gtest.h>

#include <QPainter>
#include <QPixmap>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <future>
#include <thread>

#include "view/busy_cursor.h"
#include "view_test_support.h"

namespace vrs::testing {
namespace {

constexpr Rgb kViewBlue{0, 0, 200};
constexpr int kFullW = 1500;
constexpr int kFullH = 1125;

// Every pixel of the full image tells where it is; the view image is flat.
Rgb fullPixel(int x, int row) {
    return {static_cast<std::uint8_t>(x & 255), static_cast<std::uint8_t>(row & 255), 0x80};
}

std::shared_ptr<Image> fullPicture() {
    static const auto full = makePicture(kFullW, kFullH, fullPixel);
    return full;
}

std::shared_ptr<Image> flatViewPicture() {
    return makePicture(400, 300, [](int, int) { return kViewBlue; });
}

// Checks pixel centres of a rendered view against the full image, where the
// shown full-image region is `region`; returns how many were checked.
int expectFullImagePixels(const QImage& shot, const MyImageView& view, CGRect region) {
    int checked = 0;
    for (int qy = 8; qy < view.height() - 8; qy += 13) {
        for (int qx = 8; qx < view.width() - 8; qx += 17) {
            const CGPoint f =
                NSMapPt({qx + 0.5, view.height() - (qy + 0.5)}, view.viewRect(), region);
            const double fx = f.x - std::floor(f.x);
            const double fy = f.y - std::floor(f.y);
            if (fx < 0.15 || fx > 0.85 || fy < 0.15 || fy > 0.85) {
                continue;  // too close to a pixel edge to tell
            }
            const int col = static_cast<int>(std::floor(f.x));
            const int row = kFullH - 1 - static_cast<int>(std::floor(f.y));
            EXPECT_EQ(pixelAt(shot, qx, qy), fullPixel(col, row)) << "at " << qx << ", " << qy;
            ++checked;
        }
    }
    return checked;
}

// A band of w x h points in a 404 x 304 view showing 400 x 300 at one
// point per pixel gives a region of w x h view-image pixels at (x, y).
void zoomTo(MyImageView& view, double x, double y, double w, double h) {
    dragBand(view, {x + 2, y + 2}, {x + 2 + w, y + 2 + h});
}

TEST(DeepZoom, FullImageOnlyForRegionsUnderATenth) {
    struct Case {
        double w, h;
        bool fromFull;
    };
    // 3.75 full-image pixels per view-image pixel: 40 x 30 is exactly a tenth.
    const Case cases[] = {
        {40, 30, false}, {39, 30, true}, {40, 29, true}, {400, 29, true}, {200, 150, false}};
    for (const Case& c : cases) {
        auto view = shownView(404, 304, flatViewPicture(), fullPicture());
        QSignalSpy drawn(view.get(), &MyImageView::cropDrawn);
        zoomTo(*view, 0, 0, c.w, c.h);
        ASSERT_EQ(view->clipedRect(), NSMakeRect(0, 0, c.w, c.h));
        if (c.fromFull) {
            EXPECT_TRUE(drawn.wait(10000)) << c.w << " x " << c.h;
        } else {
            EXPECT_EQ(view->deepZoom().cropsUnderWay(), 0);
            ASSERT_TRUE(waitForCrops(*view));
            QCoreApplication::processEvents();
            EXPECT_EQ(drawn.count(), 0) << c.w << " x " << c.h;
        }
        ASSERT_TRUE(waitForCrops(*view));
    }
}

TEST(DeepZoom, TheCropLandsAndIsDrawnAtFullResolution) {
    auto view = shownView(404, 304, flatViewPicture(), fullPicture());
    zoomTo(*view, 100, 100, 20, 15);
    view->hide();  // the next pass is the test's own
    ASSERT_TRUE(waitForCrops(*view));
    QSignalSpy drawn(view.get(), &MyImageView::cropDrawn);
    const QImage shot = renderView(*view);
    EXPECT_EQ(drawn.count(), 1);
    EXPECT_GT(expectFullImagePixels(shot, *view, NSMakeRect(375, 375, 75, 56.25)), 100);

    ASSERT_TRUE(waitForCrops(*view));
}

TEST(DeepZoom, WhileANewCropIsCutThePreviousOneCoversWhatItCan) {
    auto view = shownView(404, 304, flatViewPicture(), fullPicture());
    zoomTo(*view, 100, 100, 20, 15);
    view->hide();
    ASSERT_TRUE(waitForCrops(*view));
    renderView(*view);  // draws the crop of (375, 375, 75, 56.25)
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    view->deepZoom().setGate([released](const std::atomic<bool>&) { released.wait(); });
    // A pan of a quarter of the view to the left: the new region's crop is held.
    view->mouseDown({200, 150});
    view->mouseDragged({100, 150});
    ASSERT_EQ(view->clipedRect(), NSMakeRect(105, 100, 20, 15));
    const QImage shot = renderView(*view);
    view->deepZoom().setGate(nullptr);
    EXPECT_TRUE(view->waitingForCrop());
    // The left three quarters come from the previous crop, the rest from the view image.
    for (const int qx : {10, 150, 290}) {
        const CGPoint f =
            NSMapPt({qx + 0.5, 150.5}, view->viewRect(), NSMakeRect(393.75, 375, 75, 56.25));
        EXPECT_EQ(pixelAt(shot, qx, 153),
                  fullPixel(static_cast<int>(f.x), kFullH - 1 - static_cast<int>(f.y)))
            << "at " << qx;
    }
    EXPECT_EQ(pixelAt(shot, 310, 153), kViewBlue);
    EXPECT_EQ(pixelAt(shot, 395, 153), kViewBlue);
    release.set_value();
    view->mouseUp();
    ASSERT_TRUE(waitForCrops(*view));
}

TEST(DeepZoom, ARequestDuringACropIsServedWhenItLandsNewestFirst) {
    ensureApplication();
    MyImageView view;
    view.resize(404, 304);
    view.setImage(flatViewPicture());
    view.setBigImage(fullPicture());
    renderView(view);
    view.mouseDown({102, 102});
    view.mouseDragged({122, 117});
    view.mouseUp();
    renderView(view);  // asks for the crop of (100, 100, 20, 15)
    EXPECT_LE(view.deepZoom().cropsUnderWay(), 1);
    view.mouseDown({200, 150});
    view.mouseDragged({100, 150});
    renderView(view);
    view.mouseDragged({0, 150});
    renderView(view);
    EXPECT_LE(view.deepZoom().cropsUnderWay(), 1) << "one drawing thread at a time";
    ASSERT_EQ(view.clipedRect(), NSMakeRect(110, 100, 20, 15));
    ASSERT_TRUE(waitForCrops(view));

    QSignalSpy drawn(&view, &MyImageView::cropDrawn);
    const QImage shot = renderView(view);
    EXPECT_EQ(drawn.count(), 1);
    EXPECT_GT(expectFullImagePixels(shot, view, NSMakeRect(412.5, 375, 75, 56.25)), 100);
    view.mouseUp();
    ASSERT_TRUE(waitForCrops(view));
}

TEST(DeepZoom, APrintPassCutsItsCropAtOnce) {
    ensureApplication();
    MyImageView view;
    view.resize(404, 304);
    view.setImage(flatViewPicture());
    view.setBigImage(fullPicture());
    renderView(view);
    view.mouseDown({102, 102});
    view.mouseDragged({122, 117});
    view.mouseUp();
    QSignalSpy drawn(&view, &MyImageView::cropDrawn);
    QImage page(view.size(), QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        view.drawRect(painter, NSMakeRect(0, 0, 404, 304), MyImageView::Pass::Print);
    }
    EXPECT_EQ(view.deepZoom().cropsUnderWay(), 0);
    EXPECT_FALSE(view.waitingForCrop());
    EXPECT_EQ(pixelAt(page, 0, 0), (Rgb{255, 255, 255})) << "no bezel on the page";
    EXPECT_EQ(pixelAt(page, 403, 303), (Rgb{255, 255, 255}));
    EXPECT_GT(expectFullImagePixels(page, view, NSMakeRect(375, 375, 75, 56.25)), 100);
    QCoreApplication::processEvents();
    EXPECT_EQ(drawn.count(), 0);
}

TEST(DeepZoom, TheArrowWhenAWaitEndsEvenAQuickOneDuringAPan) {
    auto view = shownView(404, 304, flatViewPicture(), fullPicture());
    zoomTo(*view, 100, 100, 20, 15);
    QSignalSpy drawn(view.get(), &MyImageView::cropDrawn);
    ASSERT_TRUE(drawn.wait(10000));
    pressAt(*view, {200, 150});
    moveTo(*view, {190, 150});  // a pan step asks for a new crop
    EXPECT_EQ(view->cursor().shape(), Qt::OpenHandCursor);
    ASSERT_TRUE(drawn.wait(10000));
    EXPECT_EQ(view->cursor().shape(), Qt::ArrowCursor) << "the wait ended before the busy cursor";
    releaseAt(*view, {190, 150});
    ASSERT_TRUE(waitForCrops(*view));
}

TEST(DeepZoom, BusyCursorStartsAtFrameFourAfterTwoSeconds) {
    BusyCursorTurns turns;
    const int expected[] = {-1, -1, -1, 4, 5, 6, 7, 0, 1, 2, 3, 4};
    for (const int frame : expected) {
        EXPECT_EQ(turns.nextFrame(), frame);
    }
    turns.reset();
    EXPECT_EQ(turns.nextFrame(), -1);
}

// Turns of the busy-cursor clock, driven by hand while a large crop is cut.
TEST(DeepZoom, BusyCursorFramesWhileTheCropTakesLongThenTheArrow) {
    auto full = makePicture(8000, 6000, nullptr);
    auto view = shownView(804, 604, makePicture(800, 600, nullptr), full);
    auto* clock = view->findChild<QTimer*>(QStringLiteral("busyCursorTimer"));
    ASSERT_NE(clock, nullptr);
    const QImage frame4 = QPixmap(QStringLiteral(":/cursors/T4.png")).toImage();
    const QImage frame5 = QPixmap(QStringLiteral(":/cursors/T5.png")).toImage();
    ASSERT_FALSE(frame4.isNull());
    // Hold the crop under way until the turns have been counted.
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    view->deepZoom().setGate([released](const std::atomic<bool>&) { released.wait(); });
    view->mouseDown({2, 100});
    view->mouseDragged({802, 159});
    view->mouseUp();  // asks for the crop and starts the clock
    view->deepZoom().setGate(nullptr);
    ASSERT_TRUE(clock->isActive());
    for (int turn = 0; turn < 3; ++turn) {
        QMetaObject::invokeMethod(clock, "timeout");
    }
    EXPECT_EQ(view->cursor().shape(), Qt::ArrowCursor) << "three turns (1.5 s) show nothing";
    QMetaObject::invokeMethod(clock, "timeout");
    ASSERT_TRUE(view->waitingForCrop());
    EXPECT_EQ(view->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(view->cursor().pixmap().toImage(), frame4);
    QMetaObject::invokeMethod(clock, "timeout");
    EXPECT_EQ(view->cursor().pixmap().toImage(), frame5) << "one frame a turn";
    release.set_value();
    ASSERT_TRUE(waitForCrops(*view));
    QCoreApplication::processEvents();  // the crop lands
    EXPECT_FALSE(clock->isActive());
    EXPECT_EQ(view->cursor().shape(), Qt::ArrowCursor) << "the arrow when the crop lands";
}

// A view, and the document's images, go while a crop is being cut: the view
// stops its drawing thread and waits for it; the thread lets the full image go.
TEST(DeepZoom, AViewDestroyedInTheMiddleOfACropStopsItsThread) {
    ensureApplication();
    auto full = makePicture(8000, 6000, nullptr);
    for (const bool stopFirst : {true, false}) {
        auto window = std::make_unique<QWidget>();
        auto* view = new MyImageView(window.get());
        view->resize(804, 604);
        auto documentFull = std::make_shared<Image>(*full);
        const std::weak_ptr<Image> watched = documentFull;
        view->setImage(makePicture(800, 600, nullptr));
        view->setBigImage(documentFull);
        // The thread waits in its gate until it is told to stop.
        std::promise<void> entered;
        view->deepZoom().setGate([&entered](const std::atomic<bool>& cancelled) {
            entered.set_value();
            while (!cancelled.load()) {
                std::this_thread::yield();
            }
        });
        // A band of 800 x 59 points: 8000 x 590 full-image pixels.
        view->mouseDown({2, 100});
        view->mouseDragged({802, 159});
        view->mouseUp();
        renderView(*view);
        entered.get_future().wait();
        ASSERT_TRUE(view->waitingForCrop());
        // The document's order: stop the wait, release the images, then the window goes.
        if (stopFirst) {
            view->stopThread();
        }
        documentFull.reset();
        window.reset();
        EXPECT_TRUE(watched.expired()) << "the drawing thread still holds the full image";
        QCoreApplication::processEvents();
    }
}

}  // namespace
}  // namespace vrs::testing
