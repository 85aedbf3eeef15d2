// SPDX-License-Identifier: MIT
// Zoom and pan with the mouse: a rubber band on the whole picture, a pan of a
// zoomed one, a click back to the whole picture (showWholePicture, as the
// document calls it for a new picture). The regions come from zoom_steps.h
// and pan_steps.h.
#include <QMouseEvent>

#include "geometry/pan_steps.h"
#include "geometry/zoom_steps.h"
#include "view/my_image_view.h"

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
    // A pan keeps the region's size, and with it what set it.
    dragging_ = Dragging::Panning;
    showRegion(vrs::draggedRegion(*f, clipedRect2_, clickPt_, p), commandRegion_);
}

void MyImageView::mouseUp() {
    const bool pressed = dragging_ == Dragging::Pressed;
    dragging_ = Dragging::Idle;
    if (pressed) {
        // A band zooms to itself, a click shows the whole picture.
        vrs::CGRect region = vrs::NSZeroRect;
        const auto f = frame();
        if (!vrs::NSIsEmptyRect(draggingRect_) && f) {
            region = vrs::bandRegion(*f, draggingRect_);
            draggingRect_ = vrs::grownBand(draggingRect_);
        }
        showRegion(region, false);
    } else {
        display();
    }
    setCursor(Qt::ArrowCursor);
}

void MyImageView::showWholePicture() {
    dragging_ = Dragging::Idle;
    draggingRect_ = vrs::NSZeroRect;
    showRegion(vrs::NSZeroRect, false);
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
