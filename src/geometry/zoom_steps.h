// SPDX-License-Identifier: MIT
// The zoom steps of the view's menu commands and wheel: actual size, in and
// out by two about a point, and the zoom level. Regions are in view-image
// coordinates (y up), like the view's shown region.
#pragma once

#include <optional>

#include "geometry/geometry.h"

namespace vrs {

// Where a view stands after its last pass.
struct ZoomFrame {
    CGRect area;       // the rectangle the view draws into (its bounds inset by 2)
    CGRect viewRect;   // where the last pass drew the shown region
    CGRect src;        // the shown region; the image rectangle when all is shown
    CGRect imageRect;  // (0, 0, view image size)
    CGSize full;       // the full image's size in pixels
};

// What the whole area shows at the scale of the last pass: the shown region
// widened to the area's proportions.
CGRect seenRegion(const ZoomFrame& f);

// The region twice as large on the screen (factor 2) or half (0.5), filling
// the area, with the picture point p staying where it is on the screen.
CGRect zoomedAbout(CGRect seen, CGPoint p, double factor);

// Zoom in by two about p; nothing beyond 32 screen pixels per picture pixel.
std::optional<CGRect> zoomInRegion(const ZoomFrame& f, CGPoint p);

// Zoom out by two about p: the zero rectangle (the whole picture) once the
// picture fits; nothing when `wholeShown`.
std::optional<CGRect> zoomOutRegion(const ZoomFrame& f, CGPoint p, bool wholeShown);

// One screen point per full-image pixel about the centre of what is shown,
// starting on a whole pixel; kept inside the picture where the picture is the
// larger, centred on it where it is the smaller.
CGRect actualSizeRegion(const ZoomFrame& f);

// Screen points per full-image pixel, in per cent.
double zoomPercent(const ZoomFrame& f);

// True when a region the commands zoomed to, shown in `viewRect`, has more
// detail in the full image than in the view image and its crop stays within
// twice the view's size: `region` in full-image coordinates.
bool showsFullDetail(CGRect region, CGRect viewRect, CGRect imageRect, CGSize full);

}  // namespace vrs
