// SPDX-License-Identifier: MIT
// The zoom steps of the view's menu commands and wheel: actual size, in and
// out by two about a point, and the zoom level. Regions are in view-image
// coordinates (y up), like the view's shown region.
#pragma once

#include <optional>

#include "geometry/geometry.h"
#include "geometry/view_frame.h"

namespace vrs {

// What the whole area shows at the scale of the last pass: the shown region
// widened to the area's proportions.
CGRect seenRegion(const ViewFrame& f);

// The region twice as large on the screen (factor 2) or half (0.5), filling
// the area, with the picture point p staying where it is on the screen.
CGRect zoomedAbout(CGRect seen, CGPoint p, double factor);

// Zoom in by two about p; nothing beyond 32 device pixels per picture pixel.
std::optional<CGRect> zoomInRegion(const ViewFrame& f, CGPoint p);

// Zoom out by two about p: the zero rectangle (the whole picture) once the
// picture fits; nothing when `wholeShown`.
std::optional<CGRect> zoomOutRegion(const ViewFrame& f, CGPoint p, bool wholeShown);

// One device pixel per full-image pixel about the centre of what is shown,
// starting on a whole pixel; kept inside the picture where the picture is the
// larger, centred on it where it is the smaller.
CGRect actualSizeRegion(const ViewFrame& f);

// Device pixels per full-image pixel, in per cent.
double zoomPercent(const ViewFrame& f);

// True when the shown region has more detail in the full image than in the
// view image, a device pixel for each of its pixels, and its crop stays within
// twice the view's size in device pixels.
bool showsFullDetail(const ViewFrame& f);

}  // namespace vrs
