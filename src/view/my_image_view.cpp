// SPDX-License-Identifier: MIT
#include "view/my_image_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QString>

#include "geometry/zoom_steps.h"
#include "view/plane_pixels.h"
#include "view/png_resource.h"
#include "view/screen_image.h"

// Resources of a static library are registered by hand, from the global namespace.
static void initCursorResources() {
    Q_INIT_RESOURCE(cursors);
}

namespace {

constexpr int kHotSpot = 8;

// A cursor from the image resource `name`, or `fallback` when it is missing.
QCursor cursorNamed(const QString& name, Qt::CursorShape fallback) {
    const QImage image = readPngResource(QStringLiteral(":/cursors/%1.png").arg(name));
    if (image.isNull()) {
        return QCursor(fallback);
    }
    return QCursor(QPixmap::fromImage(image), kHotSpot, kHotSpot);
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
    QImage pixels = makeScreenImage(static_cast<int>(rep.width()), static_cast<int>(rep.height()));
    if (pixels.isNull()) {
        return {};
    }
    auto* dest = reinterpret_cast<std::uint32_t*>(pixels.bits());
    vrs::copyToRgb32(rep, {0, 0, rep.width(), rep.height()}, dest,
                     static_cast<std::size_t>(pixels.bytesPerLine()) / 4);
    return pixels;
}

}  // namespace

MyImageView::MyImageView(QWidget* parent) : QWidget(parent), deepZoom_(new DeepZoom(this)) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);  // the inspector follows the pointer
    deepZoom_->busyClock()->setObjectName(QStringLiteral("busyCursorTimer"));
    connect(deepZoom_, &DeepZoom::landed, this, qOverload<>(&QWidget::update));
}

MyImageView::~MyImageView() = default;

void MyImageView::loadCursors() {
    initCursorResources();
    myCur_ = cursorNamed(QStringLiteral("zoomin"), Qt::CrossCursor);
    for (int i = 0; i < 8; ++i) {
        TCur_[static_cast<std::size_t>(i)] =
            cursorNamed(QStringLiteral("T%1").arg(i), Qt::WaitCursor);
    }
    deepZoom_->setBusyCursors(TCur_);
}

void MyImageView::setImage(std::shared_ptr<vrs::Image> viewImage) {
    image_ = std::move(viewImage);
    // The last picture's reduction goes before the new pixels are made.
    reduced_.clear();
    viewPixels_ = QImage();
    viewPixels_ = toQImage(image_.get());
    update();
}

void MyImageView::setBigImage(std::shared_ptr<vrs::Image> fullImage) {
    if (bigImage_.lock() != fullImage) {
        // Another picture in this view: no crop of the last one is ever
        // drawn over it, neither one being cut nor the one kept for pans.
        deepZoom_->stop();
    }
    bigImage_ = fullImage;
    reportZoom();
}

void MyImageView::replacePicture(std::shared_ptr<vrs::Image> viewImage,
                                 std::shared_ptr<vrs::Image> fullImage, bool fiveBit) {
    const auto before = frame();
    vrs::ViewState state = viewState();
    const vrs::ViewState old = state;
    setFiveBitChannels(fiveBit);
    setImage(std::move(viewImage));
    setBigImage(std::move(fullImage));
    state = viewState();
    if (before && (state.viewImage != old.viewImage || state.full != old.full)) {
        const vrs::CGSize full = state.full.width > 0 ? state.full : state.viewImage;
        state.clipedRect =
            vrs::sameAreaRegion(*before, vrs::NSIsEmptyRect(old.clipedRect), state.viewImage, full);
    }
    // Shown from the full image, the region's crop is cut before the pass.
    if (const auto f = vrs::viewFrame(state); f && f->fromFull) {
        deepZoom_->cutNow(bigImage_.lock(), f->fullRegion);
    }
    showRegion(state.clipedRect, commandRegion_);
}

void MyImageView::stopThread() {
    deepZoom_->stop();
}

void MyImageView::display() {
    repaint();
}

vrs::ViewState MyImageView::viewState() const {
    vrs::ViewState state;
    state.clipedRect = clipedRect_;
    state.commandRegion = commandRegion_;
    state.bounds = {static_cast<double>(width()), static_cast<double>(height())};
    state.devicePixelRatio = devicePixelRatioF();
    if (image_) {
        state.viewImage = {image_->size().width, image_->size().height};
    }
    const auto full = bigImage_.lock();
    if (full && full->rep()) {
        state.full = {full->size().width, full->size().height};
    }
    return state;
}

vrs::CGRect MyImageView::viewRect() const {
    const auto f = frame();
    return f ? f->viewRect : vrs::NSZeroRect;
}

vrs::CGRect MyImageView::imageRect() const {
    const auto f = frame();
    return f ? f->imageRect : vrs::NSZeroRect;
}

void MyImageView::showRegion(vrs::CGRect region, bool fromCommand) {
    clipedRect_ = region;
    commandRegion_ = fromCommand;
    display();
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
