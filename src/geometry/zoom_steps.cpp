// SPDX-License-Identifier: MIT
#include "geometry/zoom_steps.h"

#include <algorithm>
#include <cmath>

namespace vrs {

namespace {

// Room left around an area shown whole: pixels, and a share of its size.
constexpr double kAreaRoom = 8;
constexpr double kAreaRoomShare = 1.0 / 16;
// Closest zoom: 32 screen points per full-image pixel.
constexpr double kClosest = 32;
// Detail is cut from the full image only down to half its resolution.
constexpr double kWidestCrop = 2;
// Rounding of the single-precision scales of the mapping.
constexpr double kSlack = 1e-6;
// F1 on a region this wide or narrower goes back to the whole picture.
constexpr double kNarrowestZoom = 100;
// A band narrower or lower than this grows to twice its size about its centre.
constexpr double kSmallestBand = 8;

// Origin, in full-image pixels, of `size` pixels about `centre` along a
// picture `length` pixels long.
double placed(double centre, double size, double length) {
    if (size >= length) {
        return (length - size) / 2;
    }
    return std::clamp(std::round(centre - size / 2), 0.0, length - size);
}

double fullPerViewImage(const ViewFrame& f) {
    return f.full.width / f.imageRect.size.width;
}

}  // namespace

CGRect zoomKeyRegion(const ViewFrame& f, CGPoint pointer) {
    CGRect region = f.src;
    const CGPoint m = NSMapPt(pointer, f.viewRect, region);
    const bool inside = NSPointInRect(m, region);
    if (region.size.width > kNarrowestZoom) {
        region = NSInsetRect(region, region.size.width / 4, region.size.height / 4);
    } else {
        region = NSZeroRect;
    }
    if (inside) {
        // Centre the region on m, then move it so that m is under the pointer.
        region = NSOffsetRect(region, -region.origin.x, -region.origin.y);
        region = NSOffsetRect(region, -region.size.width / 2, -region.size.height / 2);
        region = NSOffsetRect(region, m.x, m.y);
        const CGPoint m2 = NSMapPt(pointer, f.viewRect, region);
        region = NSOffsetRect(region, m.x - m2.x, m.y - m2.y);
    }
    return NSIntersectionRect(f.imageRect, region);
}

CGRect grownBand(CGRect band) {
    if (band.size.width < kSmallestBand) {
        band = NSInsetRect(band, -band.size.width / 2, 0);
    }
    if (band.size.height < kSmallestBand) {
        band = NSInsetRect(band, 0, -band.size.height / 2);
    }
    return band;
}

CGRect bandRegion(const ViewFrame& f, CGRect band) {
    return NSMapRect(grownBand(band), f.viewRect, f.imageRect);
}

CGRect seenRegion(const ViewFrame& f) {
    return NSMapRect(f.area, f.viewRect, f.src);
}

CGRect zoomedAbout(CGRect seen, CGPoint p, double factor) {
    return NSMakeRect(p.x - (p.x - seen.origin.x) / factor, p.y - (p.y - seen.origin.y) / factor,
                      seen.size.width / factor, seen.size.height / factor);
}

std::optional<CGRect> zoomInRegion(const ViewFrame& f, CGPoint p) {
    const CGRect region = zoomedAbout(seenRegion(f), p, 2);
    const double pixelsAcross = region.size.width * fullPerViewImage(f);
    if (NSIsEmptyRect(region) ||
        !(pixelsAcross * kClosest >= f.area.size.width * f.devicePixelRatio)) {
        return std::nullopt;
    }
    return region;
}

std::optional<CGRect> zoomOutRegion(const ViewFrame& f, CGPoint p, bool wholeShown) {
    if (wholeShown) {
        return std::nullopt;
    }
    const CGRect region = zoomedAbout(seenRegion(f), p, 0.5);
    if (region.size.width >= f.imageRect.size.width * (1 - kSlack) &&
        region.size.height >= f.imageRect.size.height * (1 - kSlack)) {
        return NSZeroRect;
    }
    return region;
}

CGRect actualSizeRegion(const ViewFrame& f) {
    const double kx = f.imageRect.size.width / f.full.width;
    const double ky = f.imageRect.size.height / f.full.height;
    const CGRect seen = seenRegion(f);
    const double cx = (seen.origin.x + seen.size.width / 2) / kx;
    const double cy = (seen.origin.y + seen.size.height / 2) / ky;
    const double w = f.area.size.width * f.devicePixelRatio;
    const double h = f.area.size.height * f.devicePixelRatio;
    return NSMakeRect(placed(cx, w, f.full.width) * kx, placed(cy, h, f.full.height) * ky, w * kx,
                      h * ky);
}

CGRect wholeAreaRegion(const ViewFrame& f, CGRect area) {
    const double kx = f.imageRect.size.width / f.full.width;
    const double ky = f.imageRect.size.height / f.full.height;
    const double w = f.area.size.width * f.devicePixelRatio;
    const double h = f.area.size.height * f.devicePixelRatio;
    const double roomW = area.size.width * (1 + 2 * kAreaRoomShare) + 2 * kAreaRoom;
    const double roomH = area.size.height * (1 + 2 * kAreaRoomShare) + 2 * kAreaRoom;
    // Device pixels per full-image pixel.
    const double scale = std::min({1.0, w / roomW, h / roomH});
    const double cx = area.origin.x + area.size.width / 2;
    const double cy = area.origin.y + area.size.height / 2;
    return NSMakeRect(placed(cx, w / scale, f.full.width) * kx,
                      placed(cy, h / scale, f.full.height) * ky, w / scale * kx, h / scale * ky);
}

CGRect sameAreaRegion(const ViewFrame& f, bool wholeShown, CGSize view, CGSize full) {
    if (wholeShown || !(full.width > 0) || !(full.height > 0)) {
        return NSZeroRect;
    }
    const CGRect& r = f.fullRegion;
    const double fromTop = f.full.height - (r.origin.y + r.size.height);
    const double y = full.height - (fromTop + r.size.height);
    const double kx = view.width / full.width;
    const double ky = view.height / full.height;
    return NSMakeRect(r.origin.x * kx, y * ky, r.size.width * kx, r.size.height * ky);
}

double zoomPercent(const ViewFrame& f) {
    return 100 * f.viewRect.size.width * f.devicePixelRatio /
           (f.src.size.width * fullPerViewImage(f));
}

bool showsFullDetail(const ViewFrame& f) {
    if (!(f.full.width > f.imageRect.size.width) || NSIsEmptyRect(f.viewRect)) {
        return false;
    }
    const double fullPerPixel =
        f.fullRegion.size.width / (f.viewRect.size.width * f.devicePixelRatio);
    const double viewImagePerPixel = fullPerPixel * f.imageRect.size.width / f.full.width;
    return fullPerPixel <= kWidestCrop && viewImagePerPixel < 1;
}

}  // namespace vrs
