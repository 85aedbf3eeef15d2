// SPDX-License-Identifier: MIT
// The keys: F1 zooms about the pointer, F3 fits the window to the picture,
// the arrows pan a zoomed picture, every other key is swallowed. Every key
// event goes to the system log.
#include <QCursor>
#include <QKeyEvent>
#include <cmath>

#include "geometry/pan_steps.h"
#include "geometry/zoom_steps.h"
#include "platform/system_log.h"
#include "view/my_image_view.h"

namespace {

constexpr std::uint16_t kZoomKey = 122;
constexpr std::uint16_t kFitKey = 99;
constexpr std::uint16_t kLeftKey = 123;
constexpr std::uint16_t kRightKey = 124;
constexpr std::uint16_t kDownKey = 125;
constexpr std::uint16_t kUpKey = 126;
// The code of every other key: it does nothing.
constexpr std::uint16_t kNoKey = 0xffff;

std::uint16_t keyCodeOf(int qtKey) {
    switch (qtKey) {
        case Qt::Key_F1:
            return kZoomKey;
        case Qt::Key_F3:
            return kFitKey;
        case Qt::Key_Left:
            return kLeftKey;
        case Qt::Key_Right:
            return kRightKey;
        case Qt::Key_Down:
            return kDownKey;
        case Qt::Key_Up:
            return kUpKey;
        default:
            return kNoKey;
    }
}

}  // namespace

void MyImageView::keyPressEvent(QKeyEvent* event) {
    event->accept();
    keyDown(keyCodeOf(event->key()), event->isAutoRepeat());
}

// Left and Right are the window's Previous and Next File while the whole
// picture is shown; on a zoomed picture they are the view's, and pan.
bool MyImageView::event(QEvent* event) {
    // The picture is drawn alike in an active and an inactive window: the
    // palette change QWidget redraws for is not drawn here.
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::WindowDeactivate) {
        return true;
    }
    if (event->type() == QEvent::ShortcutOverride && !vrs::NSIsEmptyRect(clipedRect_)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Left || key->key() == Qt::Key_Right) &&
            key->modifiers() == Qt::NoModifier) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

void MyImageView::focusInEvent(QFocusEvent* /*event*/) {}

void MyImageView::focusOutEvent(QFocusEvent* /*event*/) {}

// Tab and Backtab are keys like any other here, not a move of the focus.
bool MyImageView::focusNextPrevChild(bool /*next*/) {
    return false;
}

void MyImageView::keyDown(std::uint16_t keyCode, bool isARepeat) {
    vrs::systemLog("keyDown");
    // Held, an arrow keeps panning; F1 and F3 act once.
    if (keyCode == kLeftKey || keyCode == kRightKey) {
        panKey(keyCode == kRightKey ? 1 : -1, 0);
    } else if (keyCode == kDownKey || keyCode == kUpKey) {
        panKey(0, keyCode == kUpKey ? 1 : -1);
    } else if (isARepeat) {
        return;
    } else if (keyCode == kFitKey) {
        fitKey();
    } else if (keyCode == kZoomKey) {
        zoomKey();
    }
}

void MyImageView::panKey(int dx, int dy) {
    if (vrs::NSIsEmptyRect(clipedRect_) || dragging_ != Dragging::Idle) {
        return;  // the whole picture: nothing to pan
    }
    // As a drag pans: the region moves, keeping its size and what set it.
    showRegion(vrs::arrowPanRegion(clipedRect_, dx, dy), commandRegion_);
}

void MyImageView::zoomKey() {
    if (const auto f = frame()) {
        const vrs::CGPoint pointer = toView(mapFromGlobal(QCursor::pos().toPointF()));
        showRegion(vrs::zoomKeyRegion(*f, pointer), false);
    }
}

void MyImageView::fitKey() {
    const auto f = frame();
    QWidget* frameWindow = window();
    // Full screen stays as it is: the screen is the window's size there.
    if (!f || frameWindow->isFullScreen()) {
        return;
    }
    const vrs::CGRect wanted = vrs::NSInsetRect(f->imageRect, -vrs::kBezel, -vrs::kBezel);
    const double dw = vrs::toSingle(wanted.size.width - width());
    const double dh = vrs::toSingle(wanted.size.height - height());
    if (dw == 0 && dh == 0) {
        return;
    }
    // Qt keeps a window's top-left corner when it resizes it: the right and
    // bottom edges move.
    frameWindow->resize(frameWindow->width() + static_cast<int>(std::lround(dw)),
                        frameWindow->height() + static_cast<int>(std::lround(dh)));
    frameWindow->repaint();
}
