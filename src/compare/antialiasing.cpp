// SPDX-License-Identifier: MIT
#include "compare/antialiasing.h"

#include <algorithm>
#include <cstring>

#include "compare/colour_delta.h"

namespace vrs {
namespace {

const std::uint8_t* pixelAt(const RowWindow& w, std::int64_t dy, std::int64_t x) {
    return w.row(dy) + 4 * x;
}

// True when pixel (x, y + dy) has three or more neighbours of exactly its
// colour; a pixel on the picture's edge counts the edge as one.
bool hasManySiblings(const RowWindow& w, std::int64_t x, std::int64_t y, std::int64_t dy,
                     std::int64_t width, std::int64_t height) {
    const std::int64_t x0 = std::max<std::int64_t>(x - 1, 0);
    const std::int64_t x2 = std::min(x + 1, width - 1);
    const std::int64_t y0 = std::max<std::int64_t>(y + dy - 1, 0) - y;
    const std::int64_t y2 = std::min(y + dy + 1, height - 1) - y;
    int equal = (x == x0 || x == x2 || dy == y0 || dy == y2) ? 1 : 0;
    const std::uint8_t* centre = pixelAt(w, dy, x);
    for (std::int64_t nx = x0; nx <= x2; ++nx) {
        for (std::int64_t ny = y0; ny <= y2; ++ny) {
            if (nx == x && ny == dy) {
                continue;
            }
            if (std::memcmp(centre, pixelAt(w, ny, nx), 4) == 0 && ++equal > 2) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

bool looksAntialiased(const RowWindow& picture, const RowWindow& other, std::int64_t x,
                      std::int64_t y, std::int64_t width, std::int64_t height) {
    const std::int64_t x0 = std::max<std::int64_t>(x - 1, 0);
    const std::int64_t x2 = std::min(x + 1, width - 1);
    const std::int64_t y0 = y > 0 ? -1 : 0;
    const std::int64_t y2 = y + 1 < height ? 1 : 0;
    int equal = (x == x0 || x == x2 || y0 == 0 || y2 == 0) ? 1 : 0;
    double brightest = 0;
    double darkest = 0;
    std::int64_t brightX = 0, brightY = 0, darkX = 0, darkY = 0;
    const std::uint8_t* centre = pixelAt(picture, 0, x);
    const std::int64_t place = y * width + x;
    // Columns outside, rows inside: the order decides which of equally
    // bright neighbours is taken.
    for (std::int64_t nx = x0; nx <= x2; ++nx) {
        for (std::int64_t dy = y0; dy <= y2; ++dy) {
            if (nx == x && dy == 0) {
                continue;
            }
            const double delta = brightnessDelta(centre, pixelAt(picture, dy, nx), place);
            if (delta == 0) {
                if (++equal > 2) {
                    return false;
                }
            } else if (delta < brightest) {
                brightest = delta;
                brightX = nx;
                brightY = dy;
            } else if (delta > darkest) {
                darkest = delta;
                darkX = nx;
                darkY = dy;
            }
        }
    }
    if (brightest == 0 || darkest == 0) {
        return false;
    }
    return (hasManySiblings(picture, brightX, y, brightY, width, height) &&
            hasManySiblings(other, brightX, y, brightY, width, height)) ||
           (hasManySiblings(picture, darkX, y, darkY, width, height) &&
            hasManySiblings(other, darkX, y, darkY, width, height));
}

}  // namespace vrs
