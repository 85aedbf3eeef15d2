// SPDX-License-Identifier: MIT
#include "app/busy_step.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QGuiApplication>

void drawPendingWindows() {
    if (QGuiApplication::instance() == nullptr) {
        return;
    }
    // The window system's answers to what was closed (exposures of the
    // windows below) are in once it has answered a round trip.
    QGuiApplication::sync();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

BusyStep::BusyStep() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return;
    }
    drawPendingWindows();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    cursorSet_ = true;
    QCoreApplication::instance()->installEventFilter(this);
}

BusyStep::~BusyStep() {
    restoreCursor();
}

void BusyStep::restoreCursor() {
    if (cursorSet_) {
        QCoreApplication::instance()->removeEventFilter(this);
        QGuiApplication::restoreOverrideCursor();
        cursorSet_ = false;
    }
}

bool BusyStep::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && qobject_cast<QDialog*>(watched) != nullptr) {
        // A message about the file waits for the user: not busy any more.
        restoreCursor();
    }
    return false;
}
