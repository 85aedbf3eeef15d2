// SPDX-License-Identifier: MIT
// The zoom steps of the view: F1, a released rubber band, the menu commands
// and the wheel (actual size, in and out by two about a point), and the zoom
// level. Regions are in view-image coordinates (y up), like the view's shown
// region; the pans are beside these, in pan_steps.h.
#pragma once

#include <optional>

#include "geometry/geometry.h"
#include "geometry/view_frame.h"

namespace vrs {

// F1: the shown region halved about the view point `pointer`, the picture
// point under it staying there (about the region's centre when the pointer
// is off the shown picture), clipped to the picture; the whole picture (the
// zero rectangle) once the region is 100 view-image pixels wide or less.
CGRect zoomKeyRegion(const ViewFrame& f, CGPoint pointer);

// A rubber band (view coordinates) as released: narrower or lower than 8
// points, it grows to twice that size about its centre.
CGRect grownBand(CGRect band);
// The region a released band zooms to: the band grown, carried from where
// the whole picture is drawn into the view image.
CGRect bandRegion(const ViewFrame& f, CGRect band);

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

// The region that shows `area` (full-image coordinates) whole with a little
// room around it, centred, at most one device pixel per full-image pixel,
// filling the view's area; kept inside the picture where the picture is the
// larger, centred on it where it is the smaller, as actualSizeRegion.
CGRect wholeAreaRegion(const ViewFrame& f, CGRect area);

// The region of another picture, whose view image is `view` and full image
// `full` large, that shows the same full-image pixels as the frame, counted
// from the picture's top-left corner (two pictures of different sizes are
// laid on each other there); the zero rectangle (the whole picture) when
// `wholeShown`.
CGRect sameAreaRegion(const ViewFrame& f, bool wholeShown, CGSize view, CGSize full);

// Device pixels per full-image pixel, in per cent.
double zoomPercent(const ViewFrame& f);

// True when the shown region has more detail in the full image than in the
// view image, a device pixel for each of its pixels, and its crop stays within
// twice the view's size in device pixels.
bool showsFullDetail(const ViewFrame& f);

}  // namespace vrs
