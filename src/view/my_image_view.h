// SPDX-License-Identifier: MIT
// The image view of a document window: shows the view image fitted into
// itself, zooms and pans with the mouse and F1, fits the window with F3, zooms
// by menu commands and the wheel, and draws small regions from the full image
// (deep_zoom.h).
// Its state is one value (viewState()); everything that needs to know where
// the picture lies works from the frame computed from it (geometry/view_frame.h),
// never from what a pass left behind. Geometry is y-up, as in the rest of the
// code; it is flipped only where Qt meets it.
#pragma once

#include <QCursor>
#include <QImage>
#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "decode/image.h"
#include "geometry/geometry.h"
#include "geometry/view_frame.h"
#include "view/deep_zoom.h"
#include "view/plane_pixels.h"
#include "view/reduced_pixels.h"

class QPainter;

class MyImageView : public QWidget {
    Q_OBJECT

  public:
    // What a drawing pass is for: the screen, or a printed page (no bezel,
    // and a deep-zoom crop cut at once, so that the page is final).
    enum class Pass { Screen, Print };

    explicit MyImageView(QWidget* parent = nullptr);
    ~MyImageView() override;

    // Loads the cursors; called once after the window layout is built.
    void loadCursors();
    // The view image to show, and the full image for deep zoom (not owned).
    void setImage(std::shared_ptr<vrs::Image> viewImage);
    const std::shared_ptr<vrs::Image>& image() const { return image_; }
    void setBigImage(std::shared_ptr<vrs::Image> fullImage);
    // Shows another picture in place of this one (the other of two pictures
    // compared, or their difference): the same pixels counted from the
    // top-left corner at the same zoom, or the whole of it when the whole
    // picture was shown.
    void replacePicture(std::shared_ptr<vrs::Image> viewImage,
                        std::shared_ptr<vrs::Image> fullImage, bool fiveBit);
    // Ends the wait for a deep-zoom crop; the crop under way is dropped.
    void stopThread();
    // Redraws at once.
    void display();
    // One drawing pass onto `painter`, whose device is this view's size in
    // Qt coordinates; `dirty` is y-up.
    void drawRect(QPainter& painter, vrs::CGRect dirty, Pass pass = Pass::Screen);

    // The view's state and the frame computed from it.
    vrs::ViewState viewState() const;
    std::optional<vrs::ViewFrame> frame() const { return vrs::viewFrame(viewState()); }
    vrs::CGRect clipedRect() const { return clipedRect_; }
    vrs::CGRect viewRect() const;
    vrs::CGRect imageRect() const;
    const DeepZoom& deepZoom() const { return *deepZoom_; }
    DeepZoom& deepZoom() { return *deepZoom_; }
    // True while a crop of the full image is being cut.
    bool waitingForCrop() const { return deepZoom_->state() == DeepZoom::State::Cutting; }

    // The mouse and the keys, in view coordinates (y-up).
    void mouseDown(vrs::CGPoint p);
    void mouseDragged(vrs::CGPoint p);
    void mouseUp();
    // Shows the whole picture, as a click does; a press under way ends.
    void showWholePicture();
    // `keyCode`: 122 zoom key, 99 fit key, 123 to 126 the arrows (left,
    // right, down, up), anything else does nothing.
    void keyDown(std::uint16_t keyCode, bool isARepeat);
    // What F1 and F3 do (keys.cpp): zoom in by two about the pointer, or back
    // to the whole picture; fit the window to the view image (a window in
    // full screen stays as it is).
    void zoomKey();
    void fitKey();
    // An arrow on a zoomed picture: the region moves a tenth of its size
    // (dx, dy: -1, 0 or 1, y up); nothing on the whole picture.
    void panKey(int dx, int dy);

    // The menu commands (zoom_commands.cpp): one device pixel per full-image
    // pixel about the centre, in and out by two about the centre. Each sets
    // the shown region and redraws.
    void actualSize();
    void zoomIn();
    void zoomOut();
    // Shows `area` of the full image (pixels, rows from the top) whole and
    // centred, at most one device pixel per full-image pixel.
    void showArea(const vrs::PixelBlock& area);
    // The shown region cut from the full image at its own resolution
    // (copy_pixels.cpp); null when there is none. A region of more than
    // `maxPixels` is not cut: `tooLarge` gets its size.
    QImage shownPixels(std::int64_t maxPixels, QSize* tooLarge) const;
    // The full-image pixel under a view point (y-up), pixel_probe.cpp: its
    // column and its row counted from the top, and its colour as 0xRRGGBB.
    // False off the picture.
    bool probe(vrs::CGPoint p, int* x, int* yFromTop, std::uint32_t* rgb) const;
    // A file of 16-bit pixels holds 5 bits a channel: the inspector tells them.
    void setFiveBitChannels(bool fiveBit) { fiveBit_ = fiveBit; }
    bool fiveBitChannels() const { return fiveBit_; }
    // The zoom level last told by zoomChanged; negative before the first.
    double zoomLevel() const { return shownPercent_; }

  signals:
    // A pass has drawn a crop of the full image.
    void cropDrawn();
    // Device pixels per full-image pixel in per cent, when it changes.
    void zoomChanged(double percent);
    // The pointer moved over the view without a button: the pixel under it
    // (`over` false off the picture), as probe() tells it.
    void pointerPixel(bool over, int x, int yFromTop, std::uint32_t rgb);
    // A rubber band being drawn, in full-image pixels.
    void bandSized(int width, int height);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    // Focus draws nothing here: unlike QWidget's, these do not redraw.
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool event(QEvent* event) override;

  private:
    // The state of a mouse press.
    enum class Dragging {
        Idle,     // no press under way
        Pressed,  // a rubber band or a plain click
        Panning,  // the press has moved a zoomed picture
    };

    vrs::CGRect bounds() const;
    vrs::CGPoint toView(QPointF qtPoint) const;
    QRectF toQt(vrs::CGRect r) const;
    // Sets the shown region and redraws: the one writer of clipedRect_ and
    // commandRegion_. `fromCommand` for the zoom commands and the wheel.
    void showRegion(vrs::CGRect region, bool fromCommand);

    // Drawing (draw_pass.cpp).
    void drawGrayBezel(QPainter& painter, vrs::CGRect r, vrs::CGRect clip) const;
    void drawPixels(QPainter& painter, const vrs::ViewFrame& frame, const QImage& pixels,
                    vrs::CGRect pixelsRegion, vrs::CGRect src) const;
    // Where drawPixels puts the part `src` of a picture of `pixelsSize`
    // covering `pixelsRegion`: the target in Qt coordinates, the part in
    // pixels, and the device size to reduce it to (empty when the picture
    // is drawn as it is). False when nothing is drawn.
    bool placePixels(const vrs::ViewFrame& frame, QSize pixelsSize, vrs::CGRect pixelsRegion,
                     vrs::CGRect src, const QTransform& toDevice, QRectF* target, QRectF* source,
                     QSize* reducedSize) const;
    // A view about to be shown: the reduction its first pass draws is made
    // on a thread meanwhile (startReduction, once events are handled again).
    void prepareReduction();
    void startReduction();
    void drawRubberBand(QPainter& painter) const;
    void drawDeepZoom(QPainter& painter, const vrs::ViewFrame& frame, Pass pass);

    // Tells the pixel under, or the band's size at, a moving pointer.
    void tellPointer(vrs::CGPoint p);

    // Zoom commands (zoom_commands.cpp).
    void zoomAbout(vrs::CGPoint p, bool in);
    void reportZoom();

    // The shown region (view-image coordinates; empty: the whole picture)
    // and whether a zoom command set it.
    vrs::CGRect clipedRect_;
    bool commandRegion_ = false;
    // The mouse press: its state, its point, the band, the region it began on.
    Dragging dragging_ = Dragging::Idle;
    vrs::CGPoint clickPt_;
    vrs::CGRect draggingRect_;
    vrs::CGRect clipedRect2_;
    QCursor myCur_;
    std::array<QCursor, 8> TCur_;
    std::shared_ptr<vrs::Image> image_;
    // Not owned: the document owns the full image.
    std::weak_ptr<vrs::Image> bigImage_;
    // The view image's pixels, converted once when the image is set.
    QImage viewPixels_;
    // Their last reduction for the screen (drawPixels is const).
    mutable ReducedPixels reduced_;
    DeepZoom* deepZoom_;
    bool fiveBit_ = false;
    // Wheel steps not yet a whole notch.
    int wheelDelta_ = 0;
    double shownPercent_ = -1;
};
