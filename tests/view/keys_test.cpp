// SPDX-License-Identifier: MIT
// F1, F3 and the swallowing and logging of every key, with real key events.
#include <gtest/gtest.h>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QTest>
#include <QVBoxLayout>

#include <string>
#include <vector>

#include "platform/system_log.h"
#include "view_test_support.h"

namespace vrs::testing {
namespace {

void pointerAt(const MyImageView& view, double x, double yUp) {
    QCursor::setPos(view.mapToGlobal(qtPoint(view, x, yUp)));
}

void pressKey(QWidget& w, Qt::Key key, bool autoRepeat = false) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, QString(), autoRepeat);
    QApplication::sendEvent(&w, &event);
}

// Counts the paint events of a widget.
class PaintCounter : public QObject {
  public:
    int paints = 0;
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

// The regions themselves are tested in zoom_steps_test.cpp: here, that F1
// finds the pointer, over the margin and outside the view.
TEST(Keys, F1OutsideTheViewRectangleZoomsAboutTheCentre) {
    auto view = shownView(404, 304, makePicture(1600, 1200, nullptr));
    pointerAt(*view, 1, 1);  // over the margin
    QTest::keyClick(view.get(), Qt::Key_F1);
    EXPECT_EQ(view->clipedRect(), NSMakeRect(400, 300, 800, 600));
    QCursor::setPos(view->mapToGlobal(QPoint(-50, -50)));  // outside the view
    QTest::keyClick(view.get(), Qt::Key_F1);
    EXPECT_EQ(view->clipedRect(), NSMakeRect(600, 450, 400, 300));
}

TEST(Keys, RepeatsAreIgnoredAndOtherKeysSwallowed) {
    ensureApplication();
    class Parent : public QWidget {
      public:
        int keys = 0;
        void keyPressEvent(QKeyEvent* /*event*/) override { ++keys; }
    } parent;
    parent.resize(404, 360);
    auto* view = new MyImageView(&parent);
    auto* other = new QLabel(&parent);
    other->setFocusPolicy(Qt::StrongFocus);
    other->setGeometry(0, 310, 100, 20);
    view->setGeometry(0, 0, 404, 304);
    view->setImage(makePicture(1600, 1200, nullptr));
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    view->setFocus();
    view->display();
    pointerAt(*view, 202, 152);

    std::vector<std::string> lines;
    const auto previous = setSystemLogHook([&](std::string_view l) { lines.emplace_back(l); });
    pressKey(*view, Qt::Key_F1, true);
    EXPECT_TRUE(NSIsEmptyRect(view->clipedRect())) << "a repeated F1 does nothing";
    pressKey(*view, Qt::Key_F1);
    EXPECT_DOUBLE_EQ(view->clipedRect().size.width, 800);
    pressKey(*view, Qt::Key_F3, true);
    pressKey(*view, Qt::Key_A);
    pressKey(*view, Qt::Key_Escape);
    pressKey(*view, Qt::Key_F2);
    QTest::keyClick(view, Qt::Key_Tab);
    setSystemLogHook(previous);

    EXPECT_EQ(lines, std::vector<std::string>(7, "keyDown")) << "one line per key event";
    EXPECT_EQ(parent.keys, 0) << "no key reaches the window";
    EXPECT_TRUE(view->hasFocus()) << "Tab is swallowed too";
    EXPECT_DOUBLE_EQ(view->clipedRect().size.width, 800);
    EXPECT_EQ(parent.size(), QSize(404, 360)) << "a repeated F3 does nothing";
}

TEST(Keys, ArrowsPanAZoomedPictureByATenthOfTheRegionAndAreLogged) {
    auto view = shownView(404, 304, makePicture(1600, 1200, nullptr));
    std::vector<std::string> lines;
    const auto previous = setSystemLogHook([&](std::string_view l) { lines.emplace_back(l); });
    pressKey(*view, Qt::Key_Right);
    EXPECT_TRUE(NSIsEmptyRect(view->clipedRect())) << "the whole picture does not pan";
    view->zoomIn();
    const CGRect region = view->clipedRect();
    ASSERT_GT(region.size.width, 0);
    pressKey(*view, Qt::Key_Right);
    pressKey(*view, Qt::Key_Up, true);  // held: it keeps panning
    pressKey(*view, Qt::Key_Up);
    setSystemLogHook(previous);
    EXPECT_DOUBLE_EQ(view->clipedRect().origin.x, region.origin.x + region.size.width / 10);
    EXPECT_DOUBLE_EQ(view->clipedRect().origin.y, region.origin.y + region.size.height / 5);
    EXPECT_DOUBLE_EQ(view->clipedRect().size.width, region.size.width);
    pressKey(*view, Qt::Key_Left);
    pressKey(*view, Qt::Key_Down);
    EXPECT_DOUBLE_EQ(view->clipedRect().origin.x, region.origin.x);
    EXPECT_EQ(lines, std::vector<std::string>(4, "keyDown"));
}

TEST(Keys, F3FitsTheWindowOnceKeepingItsTopLeftCorner) {
    ensureApplication();
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* view = new MyImageView(&window);
    auto* sizeLine = new QLabel(QStringLiteral("pixel X=300 Y=200"), &window);
    sizeLine->setFixedHeight(20);
    layout->addWidget(view);
    layout->addWidget(sizeLine);
    window.resize(500, 420);
    window.move(30, 40);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    view->setFocus();

    pressKey(*view, Qt::Key_F3);
    EXPECT_EQ(window.size(), QSize(500, 420)) << "nothing drawn yet: no image rectangle";

    view->setImage(makePicture(300, 200, nullptr));
    view->display();
    const QPoint topLeft = window.pos();
    pressKey(*view, Qt::Key_F3);
    EXPECT_EQ(view->size(), QSize(304, 204));
    EXPECT_EQ(window.size(), QSize(304, 224));
    EXPECT_EQ(window.pos(), topLeft);
    EXPECT_EQ(view->viewRect(), NSMakeRect(2, 2, 300, 200)) << "one point per pixel";

    PaintCounter counter;
    view->installEventFilter(&counter);
    pressKey(*view, Qt::Key_F3);
    QCoreApplication::processEvents();
    EXPECT_EQ(window.size(), QSize(304, 224));
    EXPECT_EQ(counter.paints, 0) << "a view that fits is not redrawn";
    view->removeEventFilter(&counter);
}

}  // namespace
}  // namespace vrs::testing
