// SPDX-License-Identifier: MIT
#include "geometry/pan_steps.h"

namespace vrs {
namespace {

// An arrow moves the region by this part of its size.
constexpr double kArrowStep = 0.1;

}  // namespace

CGRect arrowPanRegion(CGRect region, int dx, int dy) {
    return NSOffsetRect(region, dx * region.size.width * kArrowStep,
                        dy * region.size.height * kArrowStep);
}

CGRect draggedRegion(const ViewFrame& f, CGRect pressRegion, CGPoint press, CGPoint pointer) {
    const double dx = toSingle(press.x - pointer.x);
    const double dy = toSingle(press.y - pointer.y);
    const CGRect r = NSOffsetRect(f.viewRect, dx, dy);
    const CGRect m = NSMapRect(r, f.viewRect, pressRegion);
    return NSOffsetRect(pressRegion, toSingle(m.origin.x - pressRegion.origin.x),
                        toSingle(m.origin.y - pressRegion.origin.y));
}

}  // namespace vrs
