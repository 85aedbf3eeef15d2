// SPDX-License-Identifier: MIT
// The drawing pass: bezel, clip, the shown region from the view image or from
// a crop of the full image, and the rubber band.
#include <QPaintEngine>
#include <QPainter>
#include <QPen>
#include <cmath>

#include "view/area_reduce.h"
#include "view/crop_thread.h"
#include "view/my_image_view.h"
#include "view/plane_pixels.h"

namespace {

const QColor kBezelGray(190, 190, 190);
// A region below this share of the full image's width or height comes from it.
constexpr double kDeepZoomShare = 0.1;

void drawLine(QPainter& painter, const QColor& color, QPointF from, QPointF to) {
    painter.setPen(QPen(color, 1.0));
    painter.drawLine(from, to);
}

// The crop's pixels as a QImage over the slot's memory, which goes with the
// slot right after the pass. Paint engines other than the raster one (a
// printer, a recording) may keep the image longer: they get their own copy.
QImage cropImage(const CropSlot& slot, const QPainter& painter) {
    const vrs::PixelBox box = slot.box();
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

void MyImageView::drawRect(QPainter& painter, vrs::CGRect dirty, bool forPrint) {
    const vrs::CGRect b = bounds();
    if (f_.noDrawFrame == 0) {
        drawGrayBezel(painter, b, dirty);
    }
    f_.noDrawFrame = 0;
    const vrs::CGRect a = vrs::NSInsetRect(b, 2, 2);
    painter.setClipRect(toQt(a), Qt::IntersectClip);
    if (!image_) {
        return;
    }
    f_.imageRect = vrs::NSMakeRect(0, 0, image_->size().width, image_->size().height);
    const vrs::CGRect src = vrs::NSIsEmptyRect(f_.clipedRect) ? f_.imageRect : f_.clipedRect;
    f_.viewRect = vrs::NSProportionalRect(a, src, 0);

    vrs::CGRect region;
    if (const auto full = deepZoomSource(src, &region)) {
        drawDeepZoom(painter, full, region, src, forPrint);
    } else {
        if (!forPrint) {
            // Nothing cut for this region will be drawn: let it go.
            pendingRegion_.reset();
            lastCrop_.reset();
            if (cropLandedFlag_) {
                f_.clippedBigImage.reset();
                cropLandedFlag_ = false;
            }
        }
        drawFromViewImage(painter, src);
    }
    drawRubberBand(painter);
    if (!forPrint) {
        reportZoom();
    }
}

std::shared_ptr<vrs::Image> MyImageView::deepZoomSource(vrs::CGRect src,
                                                        vrs::CGRect* region) const {
    if (vrs::NSIsEmptyRect(f_.clipedRect)) {
        return nullptr;
    }
    auto full = f_.bigImage.lock();
    if (!full || !full->rep()) {
        return nullptr;
    }
    const vrs::CGRect F = vrs::NSMakeRect(0, 0, full->size().width, full->size().height);
    const vrs::CGRect m = vrs::NSMapRect(src, f_.imageRect, F);
    // Regions the zoom commands set show detail from the full image sooner.
    const bool commandDetail = f_.clipedRect.size == commandZoomSize_ &&
                               vrs::showsFullDetail(m, f_.viewRect, f_.imageRect, F.size);
    if (m.size.width / F.size.width < kDeepZoomShare ||
        m.size.height / F.size.height < kDeepZoomShare || commandDetail) {
        *region = m;
        return full;
    }
    return nullptr;
}

void MyImageView::drawDeepZoom(QPainter& painter, const std::shared_ptr<vrs::Image>& full,
                               vrs::CGRect region, vrs::CGRect src, bool forPrint) {
    // The full image's size in points equals its size in pixels.
    const vrs::PlanarBitmap& rep = *full->rep();
    if (forPrint) {
        CropSlot slot(region, vrs::pixelBoxFor(region, rep.width(), rep.height()));
        slot.cut(rep);
        drawPixels(painter, cropImage(slot, painter), vrs::regionOfBox(slot.box(), rep.height()),
                   region);
        return;
    }
    const std::shared_ptr<CropSlot> slot = f_.clippedBigImage;
    if (slot && cropLandedFlag_) {
        f_.clippedBigImage.reset();
        cropLandedFlag_ = false;
        lastCrop_ = slot;
        if (slot->region() == region) {
            drawPixels(painter, cropImage(*slot, painter),
                       vrs::regionOfBox(slot->box(), rep.height()), region);
            emit cropDrawn();
            return;
        }
    }
    // Until this region's crop lands, the last crop covers what it can of it.
    drawFromViewImage(painter, src);
    if (lastCrop_) {
        drawPixels(painter, cropImage(*lastCrop_, painter),
                   vrs::regionOfBox(lastCrop_->box(), rep.height()), region);
    }
    requestCrop(full, region);
}

void MyImageView::drawFromViewImage(QPainter& painter, vrs::CGRect src) const {
    drawPixels(painter, viewPixels_, f_.imageRect, src);
}

// Draws the part `src` of a picture into the view rectangle; `pixels` covers
// `pixelsRegion`, both in the picture's y-up coordinates. Reductions are
// filtered, enlargements keep square pixels.
void MyImageView::drawPixels(QPainter& painter, const QImage& pixels, vrs::CGRect pixelsRegion,
                             vrs::CGRect src) const {
    if (pixels.isNull() || vrs::NSIsEmptyRect(src) || vrs::NSIsEmptyRect(pixelsRegion)) {
        return;
    }
    const vrs::CGRect part = vrs::NSIntersectionRect(src, pixelsRegion);
    if (vrs::NSIsEmptyRect(part)) {
        return;
    }
    const vrs::CGRect target = vrs::NSMapRect(part, src, f_.viewRect);
    // The part in pixels of `pixels`, rows from the top.
    const double px = pixels.width() / pixelsRegion.size.width;
    const double py = pixels.height() / pixelsRegion.size.height;
    const QRectF source(
        (part.origin.x - pixelsRegion.origin.x) * px,
        (pixelsRegion.origin.y + pixelsRegion.size.height - (part.origin.y + part.size.height)) *
            py,
        part.size.width * px, part.size.height * py);
    const QRectF targetQt = toQt(target);
    const QRectF device = painter.deviceTransform().mapRect(targetQt);
    if (device.width() >= source.width() && device.height() >= source.height()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(targetQt, pixels, source);
        return;
    }
    // Reduce by area averaging to the target's size on the device.
    const QSize size(std::max(1, static_cast<int>(std::lround(device.width()))),
                     std::max(1, static_cast<int>(std::lround(device.height()))));
    QImage reduced(size, QImage::Format_RGB32);
    if (reduced.isNull() || pixels.format() != QImage::Format_RGB32) {
        return;
    }
    const vrs::RgbPixels in{reinterpret_cast<const std::uint32_t*>(pixels.constBits()),
                            static_cast<std::size_t>(pixels.bytesPerLine()) / 4, pixels.width(),
                            pixels.height()};
    vrs::reduceArea(in, {source.x(), source.y(), source.width(), source.height()},
                    reinterpret_cast<std::uint32_t*>(reduced.bits()),
                    static_cast<std::size_t>(reduced.bytesPerLine()) / 4, size.width(),
                    size.height());
    painter.drawImage(targetQt, reduced);
}

void MyImageView::drawGrayBezel(QPainter& painter, vrs::CGRect r, vrs::CGRect clip) const {
    const QRectF q = toQt(r);
    if (q.width() < 4 || q.height() < 4) {
        return;
    }
    painter.save();
    painter.setClipRect(toQt(clip), Qt::IntersectClip);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(q, kBezelGray);
    // A sunken frame two pixels wide: dark above and left, light below and right.
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
    if (f_.dragging == 0 || vrs::NSIsEmptyRect(f_.draggingRect)) {
        return;
    }
    const QRectF band = toQt(f_.draggingRect);
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
