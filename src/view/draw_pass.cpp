// SPDX-License-Identifier: MIT
// The drawing pass: bezel, clip, the shown region from the view image or from
// a crop of the full image, and the rubber band. Where everything goes comes
// from the view's frame; the pass stores nothing of it.
#include <QPaintEngine>
#include <QPainter>
#include <QPen>
#include <cmath>

#include "view/crop_slot.h"
#include "view/my_image_view.h"
#include "view/plane_pixels.h"

namespace {

const QColor kBezelGray(190, 190, 190);
// Device pixels by which the rounding of a fractional scale factor may make
// a picture's size on the device fall short of its size in pixels: within
// that, it is still drawn one to one, never reduced.
constexpr double kScaleSlack = 1e-3;

void drawLine(QPainter& painter, const QColor& color, QPointF from, QPointF to) {
    painter.setPen(QPen(color, 1.0));
    painter.drawLine(from, to);
}

// The crop's pixels as a QImage over the slot's memory, which goes with the
// slot right after the pass. Paint engines other than the raster one (a
// printer, a recording) may keep the image longer: they get their own copy.
QImage cropImage(const CropSlot& slot, const QPainter& painter) {
    const vrs::PixelBlock box = slot.box();
    if (box.empty() || slot.pixels().empty()) {
        return {};
    }
    const QImage pixels(reinterpret_cast<const uchar*>(slot.pixels().data()),
                        static_cast<int>(box.width), static_cast<int>(box.height),
                        static_cast<qsizetype>(box.width) * 4, QImage::Format_RGB32);
    const QPaintEngine* engine = painter.paintEngine();
    const bool raster = engine != nullptr && engine->type() == QPaintEngine::Raster;
    return raster ? pixels : pixels.copy();
}

}  // namespace

void MyImageView::drawRect(QPainter& painter, vrs::CGRect dirty, Pass pass) {
    const vrs::CGRect b = bounds();
    if (pass == Pass::Screen) {
        drawGrayBezel(painter, b, dirty);
    }
    painter.setClipRect(toQt(vrs::NSInsetRect(b, vrs::kBezel, vrs::kBezel)), Qt::IntersectClip);
    const auto frame = this->frame();
    if (frame && frame->fromFull) {
        drawDeepZoom(painter, *frame, pass);
    } else if (frame) {
        if (pass == Pass::Screen) {
            // Nothing cut for this region will be drawn: let it go.
            deepZoom_->forget();
        }
        drawPixels(painter, *frame, viewPixels_, frame->imageRect, frame->src);
    }
    drawRubberBand(painter);
    if (pass == Pass::Screen) {
        reportZoom();
    }
}

void MyImageView::drawDeepZoom(QPainter& painter, const vrs::ViewFrame& frame, Pass pass) {
    const auto full = bigImage_.lock();
    if (!full || !full->rep()) {
        drawPixels(painter, frame, viewPixels_, frame.imageRect, frame.src);
        return;
    }
    const vrs::CGRect region = frame.fullRegion;
    // The full image's size in points equals its size in pixels.
    const vrs::PlanarBitmap& rep = *full->rep();
    if (pass == Pass::Print) {
        CropSlot slot(region, vrs::pixelBoxFor(region, rep.width(), rep.height()));
        slot.cut(rep);
        drawPixels(painter, frame, cropImage(slot, painter),
                   vrs::regionOfBox(slot.box(), rep.height()), region);
        return;
    }
    const DeepZoom::Cover cover = deepZoom_->cropFor(full, region);
    if (cover.exact) {
        drawPixels(painter, frame, cropImage(*cover.crop, painter),
                   vrs::regionOfBox(cover.crop->box(), rep.height()), region);
        emit cropDrawn();
        return;
    }
    // Until this region's crop lands, the last crop covers what it can of it.
    drawPixels(painter, frame, viewPixels_, frame.imageRect, frame.src);
    if (cover.crop) {
        drawPixels(painter, frame, cropImage(*cover.crop, painter),
                   vrs::regionOfBox(cover.crop->box(), rep.height()), region);
    }
}

bool MyImageView::placePixels(const vrs::ViewFrame& frame, QSize pixelsSize,
                              vrs::CGRect pixelsRegion, vrs::CGRect src, const QTransform& toDevice,
                              QRectF* target, QRectF* source, QSize* reducedSize) const {
    if (pixelsSize.isEmpty() || vrs::NSIsEmptyRect(src) || vrs::NSIsEmptyRect(pixelsRegion)) {
        return false;
    }
    const vrs::CGRect part = vrs::NSIntersectionRect(src, pixelsRegion);
    if (vrs::NSIsEmptyRect(part)) {
        return false;
    }
    // The part in pixels of the picture, rows from the top.
    const double px = pixelsSize.width() / pixelsRegion.size.width;
    const double py = pixelsSize.height() / pixelsRegion.size.height;
    *source = QRectF(
        (part.origin.x - pixelsRegion.origin.x) * px,
        (pixelsRegion.origin.y + pixelsRegion.size.height - (part.origin.y + part.size.height)) *
            py,
        part.size.width * px, part.size.height * py);
    *target = toQt(vrs::NSMapRect(part, src, frame.viewRect));
    const QRectF device = toDevice.mapRect(*target);
    if (device.width() >= source->width() - kScaleSlack &&
        device.height() >= source->height() - kScaleSlack) {
        *reducedSize = QSize();
    } else {
        *reducedSize = QSize(std::max(1, static_cast<int>(std::lround(device.width()))),
                             std::max(1, static_cast<int>(std::lround(device.height()))));
    }
    return true;
}

// Draws the part `src` of a picture into the view rectangle; `pixels` covers
// `pixelsRegion`, both in the picture's y-up coordinates. Reductions are
// filtered, enlargements keep square pixels.
void MyImageView::drawPixels(QPainter& painter, const vrs::ViewFrame& frame, const QImage& pixels,
                             vrs::CGRect pixelsRegion, vrs::CGRect src) const {
    QRectF target;
    QRectF source;
    QSize size;
    if (pixels.isNull() || !placePixels(frame, pixels.size(), pixelsRegion, src,
                                        painter.deviceTransform(), &target, &source, &size)) {
        return;
    }
    if (size.isEmpty()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(target, pixels, source);
        return;
    }
    // Reduce by area averaging to the target's size on the device. The view
    // image's reduction for this view is kept for the next pass.
    const bool keep = &pixels == &viewPixels_ && painter.device() == this;
    const QImage reduced = keep ? reduced_.reduction(pixels, {pixels.cacheKey(), source, size})
                                : reducePixels(pixels, source, size);
    if (!reduced.isNull()) {
        painter.drawImage(target, reduced);
    }
}

void MyImageView::prepareReduction() {
    if (isVisible() || viewPixels_.isNull()) {
        return;
    }
    // Started once the events are handled again: by then the window is on
    // its way to the screen, and the file it was read from is unmapped (its
    // pages and the reduction are not resident together).
    QMetaObject::invokeMethod(
        this, [this] { startReduction(); }, Qt::QueuedConnection);
}

void MyImageView::startReduction() {
    const auto f = frame();
    if (viewPixels_.isNull() || !f || f->fromFull) {
        return;
    }
    // A widget's painter maps to the device by the pixel ratio (and an offset).
    const qreal ratio = devicePixelRatioF();
    QRectF target;
    QRectF source;
    QSize size;
    if (!placePixels(*f, viewPixels_.size(), f->imageRect, f->src,
                     QTransform::fromScale(ratio, ratio), &target, &source, &size) ||
        size.isEmpty()) {
        return;
    }
    const ReducedPixels::Key key{viewPixels_.cacheKey(), source, size};
    if (!reduced_.holds(key)) {
        reduced_.prepare(viewPixels_, key);
    }
}

void MyImageView::drawGrayBezel(QPainter& painter, vrs::CGRect r, vrs::CGRect clip) const {
    const QRectF q = toQt(r);
    if (q.width() < 2 * vrs::kBezel || q.height() < 2 * vrs::kBezel) {
        return;
    }
    painter.save();
    painter.setClipRect(toQt(clip), Qt::IntersectClip);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(q, kBezelGray);
    // A sunken frame, a line for each of the bezel's two points: dark above
    // and left, light below and right.
    const double l = q.left() + 0.5;
    const double t = q.top() + 0.5;
    const double rr = q.right() - 0.5;
    const double bb = q.bottom() - 0.5;
    drawLine(painter, QColor(128, 128, 128), {l, bb}, {l, t});
    drawLine(painter, QColor(128, 128, 128), {l, t}, {rr, t});
    drawLine(painter, QColor(80, 80, 80), {l + 1, bb - 1}, {l + 1, t + 1});
    drawLine(painter, QColor(80, 80, 80), {l + 1, t + 1}, {rr - 1, t + 1});
    drawLine(painter, QColor(255, 255, 255), {l, bb}, {rr, bb});
    drawLine(painter, QColor(255, 255, 255), {rr, bb}, {rr, t});
    drawLine(painter, QColor(226, 226, 226), {l + 1, bb - 1}, {rr - 1, bb - 1});
    drawLine(painter, QColor(226, 226, 226), {rr - 1, bb - 1}, {rr - 1, t + 1});
    painter.restore();
}

void MyImageView::drawRubberBand(QPainter& painter) const {
    if (dragging_ == Dragging::Idle || vrs::NSIsEmptyRect(draggingRect_)) {
        return;
    }
    const QRectF band = toQt(draggingRect_);
    painter.save();
    painter.fillRect(band, QColor::fromRgbF(1.0f, 1.0f, 1.0f, 0.2f));
    QPen pen(QColor::fromRgbF(0.0f, 0.0f, 0.0f, 0.5f), 1.0);
    pen.setDashPattern({2.0, 2.0});
    pen.setDashOffset(0.0);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(band);
    painter.restore();
}
