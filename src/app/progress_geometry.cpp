// SPDX-License-Identifier: MIT
#include "app/progress_geometry.h"

namespace vrs {

CGRect progressContentRect(std::optional<CGRect> mainScreenFrame) {
    const CGRect screen = mainScreenFrame.value_or(NSZeroRect);
    CGRect r = NSMakeRect(0, 0, kProgressContentWidth, kProgressContentHeight);
    r = NSOffsetRect(r, -kProgressContentWidth * 0.5, -kProgressContentHeight * 0.5);
    return NSOffsetRect(r, screen.origin.x + screen.size.width * 0.5,
                        screen.origin.y + screen.size.height * 0.5);
}

CGRect progressBarFrame(double contentWidth) {
    return NSMakeRect(10, 10, contentWidth - 20, 16);
}

}  // namespace vrs
