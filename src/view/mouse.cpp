// SPDX-License-Identifier: MIT
// Zoom and pan with the mouse: a rubber band on the whole picture, a pan of a
// zoomed one, a click back to the whole picture.
#include <QMouseEvent>

#include "view/my_image_view.h"

namespace {

// A band narrower or lower than this grows to twice its size about its centre.
constexpr double kSmallestBand = 8;

}  // namespace

void MyImageView::mouseDown(vrs::CGPoint p) {
    dragging_ = Dragging::Pressed;
    clickPt_ = p;
    draggingRect_ = vrs::NSZeroRect;
    clipedRect2_ = clipedRect_;
    if (vrs::NSIsEmptyRect(clipedRect2_)) {
        setCursor(myCur_);
    } else {
        setCursor(Qt::OpenHandCursor);
    }
}

void MyImageView::mouseDragged(vrs::CGPoint p) {
    if (dragging_ == Dragging::Idle) {
        return;
    }
    const double dx = vrs::toSingle(clickPt_.x - p.x);
    const double dy = vrs::toSingle(clickPt_.y - p.y);
    if (vrs::NSIsEmptyRect(clipedRect2_)) {
        draggingRect_ = vrs::NSFitRect({clickPt_, {-dx, -dy}});
        display();
        return;
    }
    const auto f = frame();
    if (!f) {
        return;
    }
    // Every step starts from the region and the point of the press: no drift.
    // A pan keeps the region's size, and with it what set it.
    const vrs::CGRect r = vrs::NSOffsetRect(f->viewRect, dx, dy);
    const vrs::CGRect m = vrs::NSMapRect(r, f->viewRect, clipedRect2_);
    clipedRect_ = vrs::NSOffsetRect(clipedRect2_, vrs::toSingle(m.origin.x - clipedRect2_.origin.x),
                                    vrs::toSingle(m.origin.y - clipedRect2_.origin.y));
    dragging_ = Dragging::Panning;
    display();
}

void MyImageView::mouseUp() {
    const bool pressed = dragging_ == Dragging::Pressed;
    dragging_ = Dragging::Idle;
    if (pressed) {
        // A band zooms to itself, a click shows the whole picture.
        vrs::CGRect region = vrs::NSZeroRect;
        const auto f = frame();
        if (!vrs::NSIsEmptyRect(draggingRect_) && f) {
            vrs::CGRect band = draggingRect_;
            if (band.size.width < kSmallestBand) {
                band = vrs::NSInsetRect(band, -band.size.width / 2, 0);
            }
            if (band.size.height < kSmallestBand) {
                band = vrs::NSInsetRect(band, 0, -band.size.height / 2);
            }
            draggingRect_ = band;
            region = vrs::NSMapRect(draggingRect_, f->viewRect, f->imageRect);
        }
        clipedRect_ = region;
        commandRegion_ = false;
    }
    display();
    setCursor(Qt::ArrowCursor);
}

void MyImageView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    mouseDown(toView(event->position()));
}

void MyImageView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) {
        tellPointer(toView(event->position()));
        QWidget::mouseMoveEvent(event);
        return;
    }
    event->accept();
    mouseDragged(toView(event->position()));
    tellPointer(toView(event->position()));
}

void MyImageView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    mouseUp();
}
