// SPDX-License-Identifier: MIT
// The image view of a document window: shows the view image fitted into
// itself, zooms and pans with the mouse and F1, fits the window with F3, zooms
// by menu commands and the wheel, and draws small regions from the full image,
// cut out on a drawing thread.
// Geometry is y-up, as in the rest of the code; it is flipped only where Qt
// meets it.
#pragma once

#include <QCursor>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>

#include "decode/image.h"
#include "geometry/geometry.h"
#include "geometry/zoom_steps.h"
#include "view/busy_cursor.h"

class QPainter;
class CropSlot;

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
    // Ends a pass's wait for its drawing thread (the thread itself runs on).
    void stopThread();
    // Redraws at once.
    void display();
    // One drawing pass onto `painter`, whose device is this view's size in
    // Qt coordinates; `dirty` is y-up. `forPrint` cuts a deep-zoom crop
    // synchronously, so that a printed page is final.
    void drawRect(QPainter& painter, vrs::CGRect dirty, bool forPrint = false);

    vrs::CGRect clipedRect() const { return f_.clipedRect; }
    vrs::CGRect viewRect() const { return f_.viewRect; }
    vrs::CGRect imageRect() const { return f_.imageRect; }
    // True while a pass waits for a crop from the drawing thread.
    bool waitingForCrop() const { return f_.isThread.load(std::memory_order_acquire) != 0; }

    // The mouse and the keys, in view coordinates (y-up).
    void mouseDown(vrs::CGPoint p);
    void mouseDragged(vrs::CGPoint p);
    void mouseUp();
    // `keyCode`: 122 zoom key, 99 fit key, anything else does nothing.
    void keyDown(std::uint16_t keyCode, bool isARepeat);

    // The menu commands (zoom_commands.cpp): one point per full-image pixel
    // about the centre, in and out by two about the centre. Each sets the
    // shown region and redraws.
    void actualSize();
    void zoomIn();
    void zoomOut();
    // The shown region cut from the full image at its own resolution
    // (copy_pixels.cpp); null when there is none. A region of more than
    // `maxPixels` is not cut: `tooLarge` gets its size.
    QImage shownPixels(std::int64_t maxPixels, QSize* tooLarge) const;
    // The zoom level last told by zoomChanged; negative before the first.
    double zoomLevel() const { return shownPercent_; }

  signals:
    // A pass has drawn a crop of the full image.
    void cropDrawn();
    // Screen points per full-image pixel in per cent, when a pass changes it.
    void zoomChanged(double percent);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool focusNextPrevChild(bool next) override;

  private:
    // Fields of the view, in their order and with their names.
    struct Fields {
        std::int32_t dragging = 0;
        vrs::CGPoint clickPt;
        vrs::CGRect draggingRect;
        vrs::CGRect clipedRect;
        vrs::CGRect clipedRect2;
        vrs::CGRect viewRect;
        vrs::CGRect imageRect;
        std::int32_t selected_path_index = 0;
        std::int32_t frame_part = 0;
        std::int64_t rect_tag = 0;
        vrs::CGRect last_bounds;
        QCursor myCur;
        std::array<QCursor, 8> TCur;
        // Not owned: the document owns the full image.
        std::weak_ptr<vrs::Image> bigImage;
        std::uint8_t noDrawFrame = 0;
        // 1 while a drawing thread cuts a crop for a waiting pass. The thread
        // stores 0 (release) when done; the main thread loads it (acquire).
        std::atomic<int> isThread{0};
        std::int32_t thread_Count = 0;
        // The crop slot shared with the drawing thread: the crop being cut,
        // or the crop that landed and waits for its pass. Null otherwise.
        std::shared_ptr<CropSlot> clippedBigImage;
    };

    vrs::CGRect bounds() const;
    vrs::CGPoint toView(QPointF qtPoint) const;
    QRectF toQt(vrs::CGRect r) const;

    // Drawing (draw_pass.cpp).
    void drawGrayBezel(QPainter& painter, vrs::CGRect r, vrs::CGRect clip) const;
    void drawFromViewImage(QPainter& painter, vrs::CGRect src) const;
    void drawPixels(QPainter& painter, const QImage& pixels, vrs::CGRect pixelsRegion,
                    vrs::CGRect src) const;
    void drawRubberBand(QPainter& painter) const;
    // The shown region in full-image coordinates when it is to come from the
    // full image, with the full image; nothing otherwise.
    std::shared_ptr<vrs::Image> deepZoomSource(vrs::CGRect src, vrs::CGRect* region) const;
    void drawDeepZoom(QPainter& painter, const std::shared_ptr<vrs::Image>& full,
                      vrs::CGRect region, vrs::CGRect src, bool forPrint);

    // The drawing thread (crop_wait.cpp).
    void requestCrop(const std::shared_ptr<vrs::Image>& full, vrs::CGRect region);
    bool startCrop(const std::shared_ptr<vrs::Image>& full, vrs::CGRect region);
    void cropFinished();
    // Queued from the drawing thread by name, so that nothing the drawing
    // thread allocates is handed over outside the crop slot's own ordering.
    Q_INVOKABLE void onCropLanded();
    void cropLanded(const std::shared_ptr<CropSlot>& slot);
    void busyTurn();
    void endWait();

    // Keys (keys.cpp).
    void zoomKey();
    void fitKey();

    // Zoom commands (zoom_commands.cpp).
    std::optional<vrs::ZoomFrame> zoomFrame() const;
    void zoomAbout(vrs::CGPoint p, bool in);
    void zoomTo(std::optional<vrs::CGRect> region);
    vrs::CGSize fullSize() const;
    void reportZoom();

    Fields f_;
    std::shared_ptr<vrs::Image> image_;
    // The view image's pixels, converted once when the image is set.
    QImage viewPixels_;
    // The newest region asked for while a crop was being cut.
    std::optional<vrs::CGRect> pendingRegion_;
    // Set when the landed crop in the slot may be drawn.
    bool cropLandedFlag_ = false;
    // One turn of the busy cursor every half second while a pass waits.
    QTimer* busyTimer_ = new QTimer(this);
    BusyCursorTurns busyTurns_;
    bool busyCursorShown_ = false;
    // The last crop drawn or landed: drawn under a newer region while its own
    // crop is being cut.
    std::shared_ptr<CropSlot> lastCrop_;
    // The size of the region the zoom commands set: while the shown region
    // keeps it (a pan does), detail comes from the full image.
    vrs::CGSize commandZoomSize_;
    // Wheel steps not yet a whole notch.
    int wheelDelta_ = 0;
    double shownPercent_ = -1;
};
