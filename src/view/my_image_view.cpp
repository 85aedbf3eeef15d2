// First cut: draws the whole view image fitted into the view. The full view
// (bezel, zoom, crop thread, mouse and keys) replaces this.
#include "view/my_image_view.h"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>

MyImageView::MyImageView(QWidget* parent) : QWidget(parent) {}
MyImageView::~MyImageView() = default;

void MyImageView::awakeFromNib() {}
void MyImageView::setImage(std::shared_ptr<vrs::Image> viewImage) { image_ = std::move(viewImage); }
void MyImageView::setBigImage(std::shared_ptr<vrs::Image> fullImage) { bigImage_ = std::move(fullImage); }
void MyImageView::setNoFrameDraw(std::uint8_t flag) { noDrawFrame_ = flag; }
void MyImageView::stopThread() {}
void MyImageView::display() { repaint(); }

vrs::CGRect MyImageView::bounds() const { return vrs::NSMakeRect(0, 0, width(), height()); }

void MyImageView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    drawRect(painter, bounds());
}

void MyImageView::drawRect(QPainter& painter, vrs::CGRect /*dirty*/, bool /*forPrint*/) {
    noDrawFrame_ = 0;
    if (!image_ || !image_->rep()) {
        return;
    }
    const auto& rep = *image_->rep();
    const auto w = static_cast<int>(rep.width());
    const auto h = static_cast<int>(rep.height());
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        const auto off = static_cast<std::size_t>(y) * static_cast<std::size_t>(rep.bytesPerRow());
        for (int x = 0; x < w; ++x) {
            line[x] = qRgb(rep.plane(0)[off + x], rep.plane(1)[off + x], rep.plane(2)[off + x]);
        }
    }
    imageRect_ = vrs::NSMakeRect(0, 0, image_->size().width, image_->size().height);
    viewRect_ = vrs::NSProportionalRect(vrs::NSInsetRect(bounds(), 2, 2), imageRect_, 0);
    const vrs::CGRect q = vrs::flipRect(height(), viewRect_);
    painter.drawImage(QRectF(q.origin.x, q.origin.y, q.size.width, q.size.height), img);
}
