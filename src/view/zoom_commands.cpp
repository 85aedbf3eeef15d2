// SPDX-License-Identifier: MIT
// The zoom commands of the menus and the wheel: actual size, in and out by
// two. Each sets the shown region that F1 and the mouse share; the wheel
// zooms about the pointer, the menu commands about the centre.
#include <QResizeEvent>
#include <QWheelEvent>

#include "view/my_image_view.h"

namespace {

// One notch of a mouse wheel; touchpads send it in smaller steps.
constexpr int kNotch = 120;

}  // namespace

void MyImageView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    reportZoom();
}

vrs::CGSize MyImageView::fullSize() const {
    const auto full = f_.bigImage.lock();
    if (full && full->rep()) {
        return {full->size().width, full->size().height};
    }
    return image_ ? vrs::CGSize{image_->size().width, image_->size().height} : vrs::CGSize{};
}

// The frame of the pass, worked out as the pass does it, so that it is known
// before the first pass too (the zoom level is then right in the first frame).
std::optional<vrs::ZoomFrame> MyImageView::zoomFrame() const {
    if (!image_) {
        return std::nullopt;
    }
    const vrs::CGRect imageRect =
        vrs::NSMakeRect(0, 0, image_->size().width, image_->size().height);
    const vrs::CGRect src = vrs::NSIsEmptyRect(f_.clipedRect) ? imageRect : f_.clipedRect;
    const vrs::CGRect a = vrs::NSInsetRect(bounds(), 2, 2);
    const vrs::CGRect viewRect = vrs::NSProportionalRect(a, src, 0);
    const vrs::CGSize full = fullSize();
    if (vrs::NSIsEmptyRect(imageRect) || vrs::NSIsEmptyRect(viewRect) || !(full.width > 0) ||
        !(full.height > 0)) {
        return std::nullopt;
    }
    return vrs::ZoomFrame{a, viewRect, src, imageRect, full};
}

void MyImageView::zoomTo(std::optional<vrs::CGRect> region) {
    if (!region) {
        return;
    }
    f_.clipedRect = *region;
    commandZoomSize_ = region->size;
    display();
}

void MyImageView::actualSize() {
    if (const auto frame = zoomFrame()) {
        zoomTo(vrs::actualSizeRegion(*frame));
    }
}

void MyImageView::zoomIn() {
    if (const auto frame = zoomFrame()) {
        const vrs::CGRect& s = frame->src;
        zoomTo(vrs::zoomInRegion(*frame,
                                 {s.origin.x + s.size.width / 2, s.origin.y + s.size.height / 2}));
    }
}

void MyImageView::zoomOut() {
    if (const auto frame = zoomFrame()) {
        const vrs::CGRect& s = frame->src;
        zoomTo(vrs::zoomOutRegion(*frame,
                                  {s.origin.x + s.size.width / 2, s.origin.y + s.size.height / 2},
                                  vrs::NSIsEmptyRect(f_.clipedRect)));
    }
}

// `p` in view coordinates: the picture point under it stays there.
void MyImageView::zoomAbout(vrs::CGPoint p, bool in) {
    const auto frame = zoomFrame();
    if (!frame) {
        return;
    }
    const vrs::CGPoint m = vrs::NSMapPt(p, frame->viewRect, frame->src);
    zoomTo(in ? vrs::zoomInRegion(*frame, m)
              : vrs::zoomOutRegion(*frame, m, vrs::NSIsEmptyRect(f_.clipedRect)));
}

void MyImageView::wheelEvent(QWheelEvent* event) {
    event->accept();
    if (f_.dragging != 0) {
        // A band or a pan under way is measured against the region it began
        // on: the wheel waits for the button's release.
        wheelDelta_ = 0;
        return;
    }
    const int delta = event->angleDelta().y();
    if ((delta > 0 && wheelDelta_ < 0) || (delta < 0 && wheelDelta_ > 0)) {
        wheelDelta_ = 0;  // turned back: start a new notch
    }
    wheelDelta_ += delta;
    const vrs::CGPoint p = toView(event->position());
    for (; wheelDelta_ >= kNotch; wheelDelta_ -= kNotch) {
        zoomAbout(p, true);
    }
    for (; wheelDelta_ <= -kNotch; wheelDelta_ += kNotch) {
        zoomAbout(p, false);
    }
}

// After a pass, a resize or a new picture: the zoom level, when it changed.
void MyImageView::reportZoom() {
    const auto frame = zoomFrame();
    if (!frame) {
        return;
    }
    const double percent = vrs::zoomPercent(*frame);
    if (percent != shownPercent_) {
        shownPercent_ = percent;
        emit zoomChanged(percent);
    }
}
