// SPDX-License-Identifier: MIT
#include "view/my_image_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QString>

#include "view/crop_thread.h"
#include "view/plane_pixels.h"

// Resources of a static library are registered by hand, from the global namespace.
static void initCursorResources() {
    Q_INIT_RESOURCE(cursors);
}

namespace {

constexpr int kHotSpot = 8;

// A cursor from the image resource `name`, or `fallback` when it is missing.
QCursor cursorNamed(const QString& name, Qt::CursorShape fallback) {
    const QPixmap pixmap(QStringLiteral(":/cursors/%1.png").arg(name));
    if (pixmap.isNull()) {
        return QCursor(fallback);
    }
    return QCursor(pixmap, kHotSpot, kHotSpot);
}

// The view image's pixels as a QImage, or a null QImage when there are none.
QImage toQImage(const vrs::Image* image) {
    if (image == nullptr || !image->rep()) {
        return {};
    }
    const vrs::PlanarBitmap& rep = *image->rep();
    if (rep.width() <= 0 || rep.height() <= 0 || rep.width() > INT32_MAX ||
        rep.height() > INT32_MAX || rep.plane(0) == nullptr) {
        return {};
    }
    QImage pixels(static_cast<int>(rep.width()), static_cast<int>(rep.height()),
                  QImage::Format_RGB32);
    if (pixels.isNull()) {
        return {};
    }
    auto* dest = reinterpret_cast<std::uint32_t*>(pixels.bits());
    vrs::copyToRgb32(rep, {0, 0, rep.width(), rep.height()}, dest,
                     static_cast<std::size_t>(pixels.bytesPerLine()) / 4);
    return pixels;
}

}  // namespace

MyImageView::MyImageView(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    busyTimer_->setObjectName(QStringLiteral("busyCursorTimer"));
    busyTimer_->setInterval(BusyCursorTurns::kTurnMilliseconds);
    connect(busyTimer_, &QTimer::timeout, this, &MyImageView::busyTurn);
}

MyImageView::~MyImageView() {
    // After this no drawing thread can reach the view; calls it already queued
    // are dropped with the object.
    if (f_.clippedBigImage) {
        f_.clippedBigImage->clearNotify();
    }
}

void MyImageView::awakeFromNib() {
    initCursorResources();
    f_.myCur = cursorNamed(QStringLiteral("zoomin"), Qt::CrossCursor);
    for (int i = 0; i < 8; ++i) {
        f_.TCur[static_cast<std::size_t>(i)] =
            cursorNamed(QStringLiteral("T%1").arg(i), Qt::WaitCursor);
    }
}

void MyImageView::setImage(std::shared_ptr<vrs::Image> viewImage) {
    image_ = std::move(viewImage);
    viewPixels_ = toQImage(image_.get());
    update();
}

void MyImageView::setBigImage(std::shared_ptr<vrs::Image> fullImage) {
    if (f_.bigImage.lock() != fullImage) {
        // Another picture in this view: no crop of the last one is ever
        // drawn over it, neither one being cut nor the one kept for pans.
        stopThread();
        if (f_.clippedBigImage) {
            f_.clippedBigImage->clearNotify();
            f_.clippedBigImage.reset();
        }
        cropLandedFlag_ = false;
        lastCrop_.reset();
    }
    f_.bigImage = fullImage;
    reportZoom();
}

void MyImageView::setNoFrameDraw(std::uint8_t flag) {
    f_.noDrawFrame = flag;
}

void MyImageView::stopThread() {
    f_.isThread.store(0, std::memory_order_release);
    pendingRegion_.reset();
    endWait();
}

void MyImageView::display() {
    repaint();
}

vrs::CGRect MyImageView::bounds() const {
    return vrs::NSMakeRect(0, 0, width(), height());
}

vrs::CGPoint MyImageView::toView(QPointF qtPoint) const {
    return {qtPoint.x(), vrs::flipY(height(), qtPoint.y())};
}

QRectF MyImageView::toQt(vrs::CGRect r) const {
    const vrs::CGRect q = vrs::flipRect(height(), r);
    return {q.origin.x, q.origin.y, q.size.width, q.size.height};
}

void MyImageView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect dirty = event->rect();
    drawRect(painter, vrs::flipRect(height(), vrs::NSMakeRect(dirty.x(), dirty.y(), dirty.width(),
                                                              dirty.height())));
}
