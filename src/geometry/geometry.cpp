// SPDX-License-Identifier: MIT
#include "geometry/geometry.h"

#include <algorithm>

namespace vrs {

CGRect NSMoveRect(CGRect r, CGPoint p) {
    r = NSOffsetRect(r, -(r.origin.x + r.size.width * 0.5), -(r.origin.y + r.size.height * 0.5));
    return NSOffsetRect(r, p.x, p.y);
}

CGRect NSProportionalRect(CGRect container, CGRect content, std::uint8_t neverEnlarge) {
    const double sx = singleScale(container.size.width, content.size.width);
    const double sy = singleScale(container.size.height, content.size.height);
    CGRect result{{0, 0}, content.size};
    if (!(neverEnlarge != 0 && sx > 1 && sy > 1)) {
        const double s = sy < sx ? sy : sx;
        result.size.width *= s;
        result.size.height *= s;
    }
    const CGPoint centre{container.origin.x + container.size.width * 0.5,
                         container.origin.y + container.size.height * 0.5};
    return NSMoveRect(result, centre);
}

CGRect NSFitRect(CGRect r) {
    if (r.size.height < 0) {
        r.origin.y += r.size.height;
        r.size.height = -r.size.height;
    }
    if (r.size.width < 0) {
        r.origin.x += r.size.width;
        r.size.width = -r.size.width;
    }
    return r;
}

CGPoint NSMapPt(CGPoint p, CGRect from, CGRect to) {
    const double sx = singleScale(to.size.width, from.size.width);
    const double sy = singleScale(to.size.height, from.size.height);
    return {(p.x - from.origin.x) * sx + to.origin.x, (p.y - from.origin.y) * sy + to.origin.y};
}

CGRect NSMapRect(CGRect r, CGRect from, CGRect to) {
    const double sx = singleScale(to.size.width, from.size.width);
    const double sy = singleScale(to.size.height, from.size.height);
    return {{(r.origin.x - from.origin.x) * sx + to.origin.x,
             (r.origin.y - from.origin.y) * sy + to.origin.y},
            {r.size.width * sx, r.size.height * sy}};
}

bool NSIsEmptyRect(CGRect r) {
    return !(r.size.width > 0) || !(r.size.height > 0);
}

CGRect NSInsetRect(CGRect r, double dx, double dy) {
    return {{r.origin.x + dx, r.origin.y + dy}, {r.size.width - 2 * dx, r.size.height - 2 * dy}};
}

CGRect NSOffsetRect(CGRect r, double dx, double dy) {
    return {{r.origin.x + dx, r.origin.y + dy}, r.size};
}

bool NSPointInRect(CGPoint p, CGRect r) {
    return p.x >= r.origin.x && p.x < r.origin.x + r.size.width && p.y >= r.origin.y &&
           p.y < r.origin.y + r.size.height;
}

CGRect NSIntersectionRect(CGRect a, CGRect b) {
    const double left = std::max(a.origin.x, b.origin.x);
    const double bottom = std::max(a.origin.y, b.origin.y);
    const double right = std::min(a.origin.x + a.size.width, b.origin.x + b.size.width);
    const double top = std::min(a.origin.y + a.size.height, b.origin.y + b.size.height);
    if (NSIsEmptyRect(a) || NSIsEmptyRect(b) || right <= left || top <= bottom) {
        return NSZeroRect;
    }
    return {{left, bottom}, {right - left, top - bottom}};
}

}  // namespace vrs
