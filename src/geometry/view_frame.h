// SPDX-License-Identifier: MIT
// The image view as one value: what it shows (the state every command reads
// and changes) and the frame a drawing pass, the mouse, the keys, the zoom
// commands, Copy and printing all work from. Nothing of the frame is stored:
// it is computed from the state whenever it is needed.
#pragma once

#include <optional>

#include "geometry/geometry.h"

namespace vrs {

// The gray bezel around the picture: points on each side of the view.
inline constexpr double kBezel = 2;

// The state of an image view.
struct ViewState {
    // The shown region in view-image coordinates; empty: the whole picture.
    CGRect clipedRect;
    // Set by the zoom commands and the wheel, kept by a pan, cleared by a
    // band, a click and F1: such a region shows full-image detail sooner.
    bool commandRegion = false;
    CGSize bounds;                // the view's size in points
    double devicePixelRatio = 1;  // device pixels per point
    CGSize viewImage;             // the view image's size; empty: no picture
    CGSize full;                  // the full image's size; empty: none
};

// Where the picture lies in the view and what draws it.
struct ViewFrame {
    CGRect area;       // the rectangle the view draws into (its bounds inside the bezel)
    CGRect viewRect;   // where the shown region is drawn
    CGRect src;        // the shown region; the image rectangle when all is shown
    CGRect imageRect;  // (0, 0, view image size)
    CGSize full;       // the full image's size in pixels (the view image's without one)
    double devicePixelRatio = 1;
    // Drawn from a crop of the full image, of `fullRegion`: below a tenth of
    // the picture's width or height, or a command's region that has more
    // detail in the full image.
    bool fromFull = false;
    CGRect fullRegion{};  // the shown region in full-image coordinates
};

// The frame of a view in `state`; nothing without a picture or room to show it.
std::optional<ViewFrame> viewFrame(const ViewState& state);

}  // namespace vrs
