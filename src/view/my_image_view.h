// The image view of a document window: shows the view image fitted into
// itself, zooms and pans with the mouse and F1, fits the window with F3, and
// draws small regions from the full image, cut out on a drawing thread.
// Geometry is y-up, as in the rest of the code; it is flipped only where Qt
// meets it.
#pragma once

#include <QWidget>
#include <cstdint>
#include <memory>

#include "decode/image.h"
#include "geometry/geometry.h"

class QPainter;

class MyImageView : public QWidget {
    Q_OBJECT

public:
    explicit MyImageView(QWidget* parent = nullptr);
    ~MyImageView() override;

    // Loads the cursors; called once after the window layout is built.
    void awakeFromNib();
    // The view image to show, and the full image for deep zoom (not owned).
    void setImage(std::shared_ptr<vrs::Image> viewImage);
    const std::shared_ptr<vrs::Image>& image() const { return image_; }
    void setBigImage(std::shared_ptr<vrs::Image> fullImage);
    // Non-zero: the next pass leaves out the bezel.
    void setNoFrameDraw(std::uint8_t flag);
    // Ends a pass's wait for its drawing thread.
    void stopThread();
    // Redraws at once.
    void display();
    // One drawing pass onto `painter`, whose device is this view's size in
    // Qt coordinates; `forPrint` cuts a deep-zoom crop synchronously.
    void drawRect(QPainter& painter, vrs::CGRect dirty, bool forPrint = false);

    vrs::CGRect clipedRect() const { return clipedRect_; }
    vrs::CGRect viewRect() const { return viewRect_; }
    vrs::CGRect imageRect() const { return imageRect_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    vrs::CGRect bounds() const;

    std::shared_ptr<vrs::Image> image_;
    std::shared_ptr<vrs::Image> bigImage_;
    vrs::CGRect clipedRect_{};
    vrs::CGRect viewRect_{};
    vrs::CGRect imageRect_{};
    std::uint8_t noDrawFrame_ = 0;
};
