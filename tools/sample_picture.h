// SPDX-License-Identifier: MIT
// A screen-like picture for samples, tests and benchmarks: a gradient
// desktop, flat windows with title bars, rows of text-like glyphs, and a
// coloured mark in three corners (red top-left, green top-right, blue
// bottom-left) so that a flip or a channel swap shows.
#pragma once

#include <cstdint>

#include "vrs_writer.h"

namespace vrs::testing {

Rgb samplePixel(std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height);

inline PixelFunction samplePicture(std::int64_t width, std::int64_t height) {
    return [width, height](std::int64_t x, std::int64_t y) {
        return samplePixel(x, y, width, height);
    };
}

}  // namespace vrs::testing
