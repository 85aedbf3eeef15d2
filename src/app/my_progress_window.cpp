// SPDX-License-Identifier: MIT
#include "app/my_progress_window.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPalette>
#include <QProgressBar>
#include <QScreen>
#include <QThread>
#include <QWidget>
#include <QWindow>
#include <cmath>

#include "app/progress_geometry.h"

namespace {

QRect toQRect(const vrs::CGRect& r) {
    return QRect(
        static_cast<int>(std::lround(r.origin.x)), static_cast<int>(std::lround(r.origin.y)),
        static_cast<int>(std::lround(r.size.width)), static_cast<int>(std::lround(r.size.height)));
}

// The caller keeps the main thread busy once the window is up: let the window
// system map it, and draw it once, before that (a quarter of a second at most).
void drawOnceShown(QWidget* window) {
    QDeadlineTimer deadline(250);
    QGuiApplication::sync();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    while (window->windowHandle() != nullptr && !window->windowHandle()->isExposed() &&
           !deadline.hasExpired()) {
        QThread::msleep(2);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    window->repaint();
}

}  // namespace

QRect MyProgressWindow::contentGeometry(const QRect* primaryScreen) {
    // Qt's global space is y-down with the primary screen's top at 0; the
    // y-up space has the primary screen's bottom at 0. One height flips both.
    if (primaryScreen == nullptr) {
        return toQRect(vrs::flipRect(0, vrs::progressContentRect(std::nullopt)));
    }
    const double h = primaryScreen->height();
    const vrs::CGRect frameQt = vrs::NSMakeRect(primaryScreen->x(), primaryScreen->y(),
                                                primaryScreen->width(), primaryScreen->height());
    const vrs::CGRect frameUp = vrs::flipRect(h, frameQt);
    return toQRect(vrs::flipRect(h, vrs::progressContentRect(frameUp)));
}

MyProgressWindow::MyProgressWindow() {
    window_ = new QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                                       Qt::WindowTitleHint);
    window_->setAttribute(Qt::WA_DeleteOnClose, false);
    window_->setWindowTitle(QObject::tr("Progress window"));
    QPalette palette = window_->palette();
    palette.setColor(QPalette::Window, Qt::lightGray);
    window_->setPalette(palette);
    window_->setAutoFillBackground(true);

    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect screenGeometry = screen != nullptr ? screen->geometry() : QRect();
    const QRect content = contentGeometry(screen != nullptr ? &screenGeometry : nullptr);
    window_->setGeometry(content);
    window_->setFixedSize(content.size());
    window_->show();
    window_->raise();
    window_->activateWindow();

    indicator_ = new QProgressBar(window_);
    indicator_->setTextVisible(false);
    const vrs::CGRect bar = vrs::progressBarFrame(content.width());
    indicator_->setGeometry(toQRect(vrs::flipRect(content.height(), bar)));
    indicator_->setRange(0, 100);
    indicator_->setValue(0);
    indicator_->raise();
    indicator_->show();
    drawOnceShown(window_);
}

MyProgressWindow::~MyProgressWindow() {
    window_->hide();
    delete window_;  // deletes the bar with it
}

void MyProgressWindow::setIndeterminate(bool indeterminate) {
    if (indeterminate) {
        if (indicator_->maximum() > 0) {
            determinateMaximum_ = indicator_->maximum();
        }
        indicator_->setRange(0, 0);
    } else if (indicator_->maximum() == 0) {
        indicator_->setRange(0, determinateMaximum_);
    }
}

void MyProgressWindow::startAnimation() {
    // A bar of range 0..0 animates by itself whenever it is painted.
    indicator_->update();
}
