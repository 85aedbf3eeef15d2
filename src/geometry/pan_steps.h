// SPDX-License-Identifier: MIT
// The pans of a zoomed picture: by the arrow keys and by a drag. Both move
// the shown region (view-image coordinates, y up) and keep its size, and
// with it what set it. The zoom steps are beside these, in zoom_steps.h.
#pragma once

#include "geometry/geometry.h"
#include "geometry/view_frame.h"

namespace vrs {

// An arrow: the region moved a tenth of its size (dx, dy: -1, 0 or 1, y up).
CGRect arrowPanRegion(CGRect region, int dx, int dy);

// A drag from the view point `press` to `pointer`: the region shown at the
// press (`pressRegion`) moved so that the picture point pressed stays under
// the pointer. Every step starts from the press: no drift.
CGRect draggedRegion(const ViewFrame& f, CGRect pressRegion, CGPoint press, CGPoint pointer);

}  // namespace vrs
