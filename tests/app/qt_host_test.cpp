// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QPaintEvent>
#include <QTimer>
#include <QWidget>
#include <vector>

#include "app/qt_host.h"
#include "qt_test_app.h"

namespace {

class PaintCounter : public QWidget {
  public:
    int paints = 0;

  protected:
    void paintEvent(QPaintEvent* /*event*/) override { ++paints; }
};

TEST(QtHost, ClockCanBeReplaced) {
    testApplication();
    std::uint32_t now = 1000;
    QtHost host([&now] { return now; });
    EXPECT_EQ(host.tickCount(), 1000u);
    now = 1061;
    EXPECT_EQ(host.tickCount(), 1061u);
}

TEST(QtHost, DefaultClockIsTheSteadyTickCount) {
    testApplication();
    QtHost host;
    const std::uint32_t before = vrs::steadyTickCount();
    const std::uint32_t t = host.tickCount();
    EXPECT_LE(before, t);
    EXPECT_LE(t, vrs::steadyTickCount());
}

TEST(QtHost, AlertGoesThroughTheSeamOncePerCall) {
    testApplication();
    QtHost host;
    std::vector<QString> shown;
    host.setAlertFunction([&shown](const QString& m) { shown.push_back(m); });
    host.alert("MakeNewImageRep is nil");
    host.alert("caf\xc3\xa9");
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], QStringLiteral("MakeNewImageRep is nil"));
    EXPECT_EQ(shown[1], QString::fromUtf8("caf\xc3\xa9"));
}

TEST(QtHost, AlertIsAModalBoxWithEmptyTitleAndOneOkButton) {
    testApplication();
    QString title = QStringLiteral("unset");
    QString text;
    QStringList buttons;
    bool modal = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        modal = box->isModal();
        title = box->windowTitle();
        text = box->text();
        for (QAbstractButton* b : box->buttons()) {
            buttons.append(b->text());
        }
        box->buttons().value(0)->click();
    });
    QtHost().alert("The file is too short.");
    EXPECT_TRUE(modal);
    EXPECT_TRUE(title.isEmpty());
    EXPECT_EQ(text, QStringLiteral("The file is too short."));
    EXPECT_EQ(buttons, QStringList{QStringLiteral("OK")});
}

TEST(QtHost, EventLoopTurnDeliversPaints) {
    testApplication();
    QtHost host;
    PaintCounter widget;
    widget.resize(50, 40);
    widget.show();
    host.runEventLoop(0.05);
    const int before = widget.paints;
    widget.update();
    host.runEventLoop(0.000001);
    EXPECT_GT(widget.paints, before);
}

}  // namespace
