// SPDX-License-Identifier: MIT
// The zoom commands of the menus and the wheel: actual size, in and out by
// two. Each sets the shown region that F1 and the mouse share; the wheel
// zooms about the pointer, the menu commands about the centre.
#include <QResizeEvent>
#include <QWheelEvent>

#include "geometry/zoom_steps.h"
#include "view/my_image_view.h"

namespace {

// One notch of a mouse wheel; touchpads send it in smaller steps.
constexpr int kNotch = 120;

}  // namespace

void MyImageView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    prepareReduction();
    reportZoom();
}

void MyImageView::actualSize() {
    if (const auto f = frame()) {
        showRegion(vrs::actualSizeRegion(*f), true);
    }
}

void MyImageView::zoomIn() {
    if (const auto f = frame()) {
        const vrs::CGRect& s = f->src;
        if (const auto region = vrs::zoomInRegion(
                *f, {s.origin.x + s.size.width / 2, s.origin.y + s.size.height / 2})) {
            showRegion(*region, true);
        }
    }
}

void MyImageView::zoomOut() {
    if (const auto f = frame()) {
        const vrs::CGRect& s = f->src;
        if (const auto region = vrs::zoomOutRegion(
                *f, {s.origin.x + s.size.width / 2, s.origin.y + s.size.height / 2},
                vrs::NSIsEmptyRect(clipedRect_))) {
            showRegion(*region, true);
        }
    }
}

void MyImageView::showArea(const vrs::PixelBlock& area) {
    const auto f = frame();
    if (!f || area.empty()) {
        return;
    }
    // The area's rows from the top, as a y-up rectangle of the full image.
    const vrs::CGRect region = vrs::regionOfBox(area, static_cast<std::int64_t>(f->full.height));
    showRegion(vrs::wholeAreaRegion(*f, region), true);
}

// `p` in view coordinates: the picture point under it stays there.
void MyImageView::zoomAbout(vrs::CGPoint p, bool in) {
    const auto f = frame();
    if (!f) {
        return;
    }
    const vrs::CGPoint m = vrs::NSMapPt(p, f->viewRect, f->src);
    const auto region =
        in ? vrs::zoomInRegion(*f, m) : vrs::zoomOutRegion(*f, m, vrs::NSIsEmptyRect(clipedRect_));
    if (region) {
        showRegion(*region, true);
    }
}

void MyImageView::wheelEvent(QWheelEvent* event) {
    event->accept();
    if (dragging_ != Dragging::Idle) {
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
    const auto f = frame();
    if (!f) {
        return;
    }
    const double percent = vrs::zoomPercent(*f);
    if (percent != shownPercent_) {
        shownPercent_ = percent;
        emit zoomChanged(percent);
    }
}
