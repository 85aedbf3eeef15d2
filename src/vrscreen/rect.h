// SPDX-License-Identifier: MIT
// The integer rectangle stored in a virtual-screen header, with the classic
// QuickDraw operations on it. y grows downwards; right and bottom are exclusive.
#pragma once

#include <cstdint>

namespace vrs {

struct Rect {
    std::int16_t top = 0;
    std::int16_t left = 0;
    std::int16_t bottom = 0;
    std::int16_t right = 0;
};

// Note the argument order: horizontal before vertical.
void SetRect(Rect* r, std::int16_t left, std::int16_t top, std::int16_t right, std::int16_t bottom);
// Adds in 16-bit arithmetic; sums wrap around.
void OffsetRect(Rect* r, std::int16_t dh, std::int16_t dv);
// True for a null pointer or a rectangle without positive width and height.
bool EmptyRect(const Rect* r);
// True when a and b overlap with positive area; dst receives the intersection,
// or all zeros. dst may alias a or b. A null dst is never written.
bool SectRect(const Rect* a, const Rect* b, Rect* dst);

}  // namespace vrs
