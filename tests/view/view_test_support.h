// SPDX-License-Identifier: MIT
// Helpers for the image view's tests: a QApplication on the offscreen
// platform, test pictures, rendering and real mouse and key events.
#pragma once

#include <QImage>
#include <QPoint>
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>

#include "decode/image.h"
#include "geometry/geometry.h"
#include "view/my_image_view.h"

namespace vrs {
inline void PrintTo(const CGRect& r, std::ostream* os) {
    *os << "(" << r.origin.x << ", " << r.origin.y << ", " << r.size.width << ", " << r.size.height
        << ")";
}
}  // namespace vrs

namespace vrs::testing {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The application every view test needs, made on first use.
void ensureApplication();

// A picture of w x h pixels; `colour(x, row)` gives each pixel, row 0 at the
// top. Null `colour` leaves the planes as they were made (zero).
std::shared_ptr<Image> makePicture(int w, int h, const std::function<Rgb(int, int)>& colour);

// The view drawn once onto a magenta image of its size.
QImage renderView(MyImageView& view);
Rgb pixelAt(const QImage& image, int x, int qtY);

// A view of the given size, shown in its own window, with cursors loaded.
std::unique_ptr<MyImageView> shownView(int w, int h, std::shared_ptr<Image> viewImage,
                                       std::shared_ptr<Image> fullImage = nullptr);

// A point of the view given y-up, as Qt sees it.
QPoint qtPoint(const MyImageView& view, double x, double yUp);

// Real mouse events: press at `from`, moves through `steps` points to `to`,
// release there (all y-up view coordinates).
void pressAt(MyImageView& view, CGPoint p);
void moveTo(MyImageView& view, CGPoint p);
void releaseAt(MyImageView& view, CGPoint p);
void dragBand(MyImageView& view, CGPoint from, CGPoint to);

// Runs the event loop until the view's drawing threads have finished their
// crops and the last one has been handed over; false after a timeout.
bool waitForCrops(MyImageView& view);

bool near(CGRect a, CGRect b, double eps = 1e-6);

}  // namespace vrs::testing
