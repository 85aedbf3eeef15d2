// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <QPointer>
#include <QProgressBar>
#include <QScreen>
#include <QWidget>

#include "app/my_progress_window.h"
#include "app/progress_geometry.h"
#include "app/qt_host.h"
#include "qt_test_app.h"

namespace {

using vrs::NSMakeRect;

class ProgressWindowTest : public ::testing::Test {
  protected:
    void SetUp() override { testApplication(); }
};

int visibleWindowsTitled(const QString& title) {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        n += (w->isVisible() && w->windowTitle() == title) ? 1 : 0;
    }
    return n;
}

TEST(ProgressGeometry, ContentRectCentresOnTheMainScreenYUp) {
    EXPECT_EQ(vrs::progressContentRect(NSMakeRect(0, 0, 1920, 1080)),
              NSMakeRect(780, 524, 360, 32));
    EXPECT_EQ(vrs::progressContentRect(NSMakeRect(1920, 0, 1280, 1024)),
              NSMakeRect(2380, 496, 360, 32));
    EXPECT_EQ(vrs::progressContentRect(std::nullopt), NSMakeRect(-180, -16, 360, 32));
    EXPECT_EQ(vrs::progressBarFrame(360), NSMakeRect(10, 10, 340, 16));
}

TEST(ProgressGeometry, QtRectangleIsTheFlippedContentRect) {
    const QRect full(0, 0, 1920, 1080);
    EXPECT_EQ(MyProgressWindow::contentGeometry(&full), QRect(780, 524, 360, 32));
    const QRect right(1920, 0, 1280, 1024);
    EXPECT_EQ(MyProgressWindow::contentGeometry(&right), QRect(2380, 496, 360, 32));
    EXPECT_EQ(MyProgressWindow::contentGeometry(nullptr), QRect(-180, -16, 360, 32));
    // A primary screen that does not start at y 0 stays centred after the flip.
    const QRect lowered(0, 100, 1920, 1080);
    EXPECT_EQ(MyProgressWindow::contentGeometry(&lowered), QRect(780, 624, 360, 32));
}

TEST_F(ProgressWindowTest, FreshWindowLooksAsSpecified) {
    MyProgressWindow progress;
    QWidget* window = progress.window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Progress window"));
    const Qt::WindowFlags flags = window->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_FALSE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(window->palette().color(QPalette::Window), QColor(Qt::lightGray));

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(window->geometry(), MyProgressWindow::contentGeometry(&screen));
    EXPECT_EQ(window->size(), QSize(360, 32));

    QProgressBar* bar = progress.indicator();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->parentWidget(), window);
    EXPECT_EQ(bar->geometry(), QRect(10, 6, 340, 16));
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 100);
    EXPECT_EQ(bar->value(), 0);
}

TEST_F(ProgressWindowTest, IndeterminateModeAndBack) {
    MyProgressWindow progress;
    progress.indicator()->setMaximum(300);
    progress.setIndeterminate(true);
    progress.startAnimation();
    EXPECT_EQ(progress.indicator()->minimum(), 0);
    EXPECT_EQ(progress.indicator()->maximum(), 0);
    progress.setIndeterminate(false);
    EXPECT_EQ(progress.indicator()->maximum(), 300);
}

TEST_F(ProgressWindowTest, WindowGoesWithTheObject) {
    QPointer<QWidget> window;
    {
        MyProgressWindow progress;
        window = progress.window();
        progress.setIndeterminate(true);
        ASSERT_TRUE(window);
        EXPECT_EQ(visibleWindowsTitled(QStringLiteral("Progress window")), 1);
    }
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(visibleWindowsTitled(QStringLiteral("Progress window")), 0);
}

TEST_F(ProgressWindowTest, HostProgressWindowFollowsTheCore) {
    QtHost host;
    {
        std::unique_ptr<vrs::ProgressWindow> window = host.makeProgressWindow();
        ASSERT_NE(window, nullptr);
        window->setTitle("data to image");
        window->setMaxValue(300);
        window->setDoubleValue(150.7);
        window->display();
        EXPECT_EQ(visibleWindowsTitled(QStringLiteral("data to image")), 1);
        QProgressBar* bar = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->windowTitle() == QStringLiteral("data to image")) {
                bar = w->findChild<QProgressBar*>();
            }
        }
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->maximum(), 300);
        EXPECT_EQ(bar->value(), 150);
    }
    EXPECT_EQ(visibleWindowsTitled(QStringLiteral("data to image")), 0);
}

}  // namespace
