// SPDX-License-Identifier: MIT
// The perceptual distance between two colours that the screenshot-testing
// tool pixelmatch (up to its version 7) counts with: the squared distance in
// the YIQ colour space, weighted as Kotsarenko and Ramos propose, 35215 for
// black against white. Worked out in double precision, in the order that
// tool works it out, so that a threshold counts the same pixels. Translucent
// pixels are seen over a background that alternates with the pixel's place,
// as there, so that a change of transparency alone shows.
#pragma once

#include <cstdint>

namespace vrs {

// The distance of black from white.
inline constexpr double kLargestColourDelta = 35215;

// The squared distance a pixel must exceed to count at `threshold` (0 to 1).
inline double deltaLimit(double threshold) {
    return kLargestColourDelta * threshold * threshold;
}

// The distance between pixel `a` and pixel `b` (four bytes each, red, green,
// blue, alpha), negative when `a` is the brighter; 0 for equal pixels.
// `place` is the pixel's index in its picture (y x width + x).
double colourDelta(const std::uint8_t* a, const std::uint8_t* b, std::int64_t place);

// The difference in brightness alone (Y), positive when `a` is the brighter.
double brightnessDelta(const std::uint8_t* a, const std::uint8_t* b, std::int64_t place);

// A squared distance as a threshold: sqrt(delta / 35215).
double deltaAsThreshold(double delta);

}  // namespace vrs
