// SPDX-License-Identifier: MIT
#include "compare/colour_delta.h"

#include <cmath>
#include <cstring>

namespace vrs {
namespace {

struct Difference {
    double r = 0;
    double g = 0;
    double b = 0;
};

// The colour difference of two pixels that are not equal: of the colours
// themselves when both are opaque, else of both seen over a background
// whose channels are 48 or 207, chosen by the pixel's byte offset.
Difference differenceOf(const std::uint8_t* a, const std::uint8_t* b, std::int64_t place) {
    const double r1 = a[0], g1 = a[1], b1 = a[2], a1 = a[3];
    const double r2 = b[0], g2 = b[1], b2 = b[2], a2 = b[3];
    if (a[3] == 255 && b[3] == 255) {
        return {r1 - r2, g1 - g2, b1 - b2};
    }
    const std::int64_t k = 4 * place;
    const double rb = 48 + 159 * static_cast<double>(k % 2);
    const double gb =
        48 + 159 * static_cast<double>(
                       static_cast<std::int64_t>(static_cast<double>(k) / 1.618033988749895) % 2);
    const double bb =
        48 + 159 * static_cast<double>(
                       static_cast<std::int64_t>(static_cast<double>(k) / 2.618033988749895) % 2);
    const double da = a1 - a2;
    return {(r1 * a1 - r2 * a2 - rb * da) / 255, (g1 * a1 - g2 * a2 - gb * da) / 255,
            (b1 * a1 - b2 * a2 - bb * da) / 255};
}

double brightness(const Difference& d) {
    return d.r * 0.29889531 + d.g * 0.58662247 + d.b * 0.11448223;
}

bool samePixel(const std::uint8_t* a, const std::uint8_t* b) {
    return std::memcmp(a, b, 4) == 0;
}

}  // namespace

double colourDelta(const std::uint8_t* a, const std::uint8_t* b, std::int64_t place) {
    if (samePixel(a, b)) {
        return 0;
    }
    const Difference d = differenceOf(a, b, place);
    const double y = brightness(d);
    const double i = d.r * 0.59597799 - d.g * 0.27417610 - d.b * 0.32180189;
    const double q = d.r * 0.21147017 - d.g * 0.52261711 + d.b * 0.31114694;
    const double delta = 0.5053 * y * y + 0.299 * i * i + 0.1957 * q * q;
    return y > 0 ? -delta : delta;
}

double brightnessDelta(const std::uint8_t* a, const std::uint8_t* b, std::int64_t place) {
    if (samePixel(a, b)) {
        return 0;
    }
    return brightness(differenceOf(a, b, place));
}

double deltaAsThreshold(double delta) {
    return std::sqrt(std::fabs(delta) / kLargestColourDelta);
}

}  // namespace vrs
