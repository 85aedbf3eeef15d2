// SPDX-License-Identifier: MIT
#include "geometry/view_frame.h"

#include "geometry/zoom_steps.h"

namespace vrs {

namespace {

// A region below this share of the full image's width or height comes from it.
constexpr double kDeepZoomShare = 0.1;

}  // namespace

std::optional<ViewFrame> viewFrame(const ViewState& state) {
    ViewFrame f;
    f.area = NSInsetRect(NSMakeRect(0, 0, state.bounds.width, state.bounds.height), kBezel, kBezel);
    f.imageRect = NSMakeRect(0, 0, state.viewImage.width, state.viewImage.height);
    f.src = NSIsEmptyRect(state.clipedRect) ? f.imageRect : state.clipedRect;
    f.viewRect = NSProportionalRect(f.area, f.src, 0);
    f.devicePixelRatio = state.devicePixelRatio > 0 ? state.devicePixelRatio : 1;
    const bool hasFull = state.full.width > 0 && state.full.height > 0;
    f.full = hasFull ? state.full : state.viewImage;
    if (NSIsEmptyRect(f.imageRect) || NSIsEmptyRect(f.viewRect)) {
        return std::nullopt;
    }
    const CGRect F = NSMakeRect(0, 0, f.full.width, f.full.height);
    f.fullRegion = NSIsEmptyRect(state.clipedRect) ? F : NSMapRect(f.src, f.imageRect, F);
    if (hasFull && !NSIsEmptyRect(state.clipedRect)) {
        const CGRect& m = f.fullRegion;
        f.fromFull = m.size.width / F.size.width < kDeepZoomShare ||
                     m.size.height / F.size.height < kDeepZoomShare ||
                     (state.commandRegion && showsFullDetail(f));
    }
    return f;
}

}  // namespace vrs
