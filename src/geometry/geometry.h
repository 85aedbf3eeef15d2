// SPDX-License-Identifier: MIT
// Floating-point rectangles and points (y grows upwards), the rectangle
// fitting and mapping routines of the image view, and the flip to Qt's
// y-down coordinates at the boundary.
#pragma once

#include <cstdint>

namespace vrs {

struct CGPoint {
    double x = 0;
    double y = 0;
    friend bool operator==(const CGPoint&, const CGPoint&) = default;
};

struct CGSize {
    double width = 0;
    double height = 0;
    friend bool operator==(const CGSize&, const CGSize&) = default;
};

struct CGRect {
    CGPoint origin;
    CGSize size;
    friend bool operator==(const CGRect&, const CGRect&) = default;
};

inline constexpr CGRect NSZeroRect{};

inline CGRect NSMakeRect(double x, double y, double w, double h) {
    return {{x, y}, {w, h}};
}

// A double rounded to single precision and widened back. The empty asm keeps
// the float in a register: GCC 12's SLP vectoriser otherwise drops the
// double -> float -> double round trip when two such factors are computed side
// by side (a test catches it).
inline double toSingle(double v) {
#if defined(__x86_64__)
    float f = static_cast<float>(v);
    asm("" : "+x"(f));
#else
    volatile float f = static_cast<float>(v);
#endif
    return static_cast<double>(f);
}
// Scale factor as the routines use it: a double quotient rounded to single precision.
inline double singleScale(double numerator, double denominator) {
    return toSingle(numerator / denominator);
}

// The rectangle moved so that its centre lies on p.
CGRect NSMoveRect(CGRect r, CGPoint p);
// The content's size scaled to fit the container, proportions kept, centred on it.
// A non-zero neverEnlarge keeps a content smaller than the container in both directions.
CGRect NSProportionalRect(CGRect container, CGRect content, std::uint8_t neverEnlarge);
// The same area with non-negative width and height.
CGRect NSFitRect(CGRect r);
CGPoint NSMapPt(CGPoint p, CGRect from, CGRect to);
CGRect NSMapRect(CGRect r, CGRect from, CGRect to);

// The platform's small rectangle functions.
bool NSIsEmptyRect(CGRect r);
CGRect NSInsetRect(CGRect r, double dx, double dy);
CGRect NSOffsetRect(CGRect r, double dx, double dy);
bool NSPointInRect(CGPoint p, CGRect r);
CGRect NSIntersectionRect(CGRect a, CGRect b);

// y-up (this code's geometry) <-> y-down (Qt, bitmap rows), for a frame of the given height.
inline double flipY(double frameHeight, double y) {
    return frameHeight - y;
}
inline CGRect flipRect(double frameHeight, CGRect r) {
    return {{r.origin.x, frameHeight - (r.origin.y + r.size.height)}, r.size};
}

}  // namespace vrs
