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
    f_.dragging = 1;
    f_.clickPt = p;
    f_.draggingRect = vrs::NSZeroRect;
    f_.frame_part = 0;
    f_.selected_path_index = -1;
    f_.clipedRect2 = f_.clipedRect;
    if (vrs::NSIsEmptyRect(f_.clipedRect2)) {
        setCursor(f_.myCur);
    } else {
        setCursor(Qt::OpenHandCursor);
    }
}

void MyImageView::mouseDragged(vrs::CGPoint p) {
    if (f_.dragging == 0 || f_.selected_path_index != -1) {
        return;
    }
    const double dx = vrs::toSingle(f_.clickPt.x - p.x);
    const double dy = vrs::toSingle(f_.clickPt.y - p.y);
    if (vrs::NSIsEmptyRect(f_.clipedRect2)) {
        f_.draggingRect = vrs::NSFitRect({f_.clickPt, {-dx, -dy}});
    } else {
        // Every step starts from the region and the point of the press: no drift.
        const vrs::CGRect r = vrs::NSOffsetRect(f_.viewRect, dx, dy);
        const vrs::CGRect m = vrs::NSMapRect(r, f_.viewRect, f_.clipedRect2);
        f_.clipedRect =
            vrs::NSOffsetRect(f_.clipedRect2, vrs::toSingle(m.origin.x - f_.clipedRect2.origin.x),
                              vrs::toSingle(m.origin.y - f_.clipedRect2.origin.y));
        f_.dragging = 2;
    }
    display();
}

void MyImageView::mouseUp() {
    if (f_.dragging == 1) {
        f_.clipedRect = vrs::NSZeroRect;
        if (!vrs::NSIsEmptyRect(f_.draggingRect)) {
            vrs::CGRect band = f_.draggingRect;
            if (band.size.width < kSmallestBand) {
                band = vrs::NSInsetRect(band, -band.size.width / 2, 0);
            }
            if (band.size.height < kSmallestBand) {
                band = vrs::NSInsetRect(band, 0, -band.size.height / 2);
            }
            f_.draggingRect = band;
            f_.clipedRect = vrs::NSMapRect(f_.draggingRect, f_.viewRect, f_.imageRect);
        }
    }
    f_.dragging = 0;
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
        QWidget::mouseMoveEvent(event);
        return;
    }
    event->accept();
    mouseDragged(toView(event->position()));
}

void MyImageView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    mouseUp();
}
