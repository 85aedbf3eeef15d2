// SPDX-License-Identifier: MIT
// Where a progress window goes: its content rectangle, centred on the main
// screen's frame, and its bar. Both in y-up screen coordinates.
#pragma once

#include <optional>

#include "geometry/geometry.h"

namespace vrs {

inline constexpr double kProgressContentWidth = 360;
inline constexpr double kProgressContentHeight = 32;

// The content rectangle centred on the main screen's frame; without a main
// screen, centred on the origin.
CGRect progressContentRect(std::optional<CGRect> mainScreenFrame);

// The bar inside a content area of the given width: 10 points from the left,
// right and bottom edges, 16 points high.
CGRect progressBarFrame(double contentWidth);

}  // namespace vrs
