// SPDX-License-Identifier: MIT
// The pixel under the pointer and the size of a band, for the inspector
// beside the zoom level: one pixel read from the full image's planes, no redraw.
#include <cmath>

#include "view/my_image_view.h"
#include "view/plane_pixels.h"

bool MyImageView::probe(vrs::CGPoint p, int* x, int* yFromTop, std::uint32_t* rgb) const {
    const auto full = bigImage_.lock();
    const auto f = frame();
    if (!full || !full->rep() || !f || !vrs::NSPointInRect(p, f->viewRect)) {
        return false;
    }
    const vrs::PlanarBitmap& rep = *full->rep();
    const vrs::CGPoint m = vrs::NSMapPt(p, f->viewRect, f->fullRegion);
    const double column = std::floor(m.x);
    // The full image is y-up from its lower-left corner; rows count from the top.
    const double row = std::floor(static_cast<double>(rep.height()) - m.y);
    if (!(column >= 0 && column < static_cast<double>(rep.width()) && row >= 0 &&
          row < static_cast<double>(rep.height()))) {
        return false;
    }
    const vrs::PixelBlock box{static_cast<std::int64_t>(column), static_cast<std::int64_t>(row), 1,
                              1};
    std::uint32_t pixel = 0;
    vrs::copyToRgb32(rep, box, &pixel, 1);
    *x = static_cast<int>(box.left);
    *yFromTop = static_cast<int>(box.top);
    *rgb = pixel & 0xffffffu;
    return true;
}

void MyImageView::tellPointer(vrs::CGPoint p) {
    if (dragging_ == Dragging::Pressed && !vrs::NSIsEmptyRect(draggingRect_)) {
        const auto f = frame();
        if (f) {
            const vrs::CGRect band = vrs::NSMapRect(draggingRect_, f->viewRect, f->fullRegion);
            emit bandSized(static_cast<int>(std::lround(band.size.width)),
                           static_cast<int>(std::lround(band.size.height)));
        }
        return;
    }
    if (dragging_ != Dragging::Idle) {
        return;
    }
    int x = 0;
    int y = 0;
    std::uint32_t rgb = 0;
    const bool over = probe(p, &x, &y, &rgb);
    emit pointerPixel(over, x, y, rgb);
}
