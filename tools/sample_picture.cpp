// SPDX-License-Identifier: MIT
#include "sample_picture.h"

#include <algorithm>

namespace vrs::testing {
namespace {

std::uint32_t hash(std::uint32_t v) {
    v ^= v >> 16;
    v *= 0x7feb352dU;
    v ^= v >> 15;
    v *= 0x846ca68bU;
    v ^= v >> 16;
    return v;
}

// A 5 x 7 glyph cell pattern: on or off for pixel (gx, gy) of glyph number g.
bool glyphPixel(std::uint32_t g, std::int64_t gx, std::int64_t gy) {
    const std::uint32_t bits = hash(g * 7919U + static_cast<std::uint32_t>(gy));
    return ((bits >> static_cast<std::uint32_t>(gx)) & 1U) != 0;
}

struct Window {
    std::int64_t x0, y0, x1, y1;
    Rgb body;
    Rgb title;
};

}  // namespace

Rgb samplePixel(std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height) {
    const std::int64_t mark = std::max<std::int64_t>(1, std::min(width, height) / 16);
    if (y < mark && x < mark) {
        return {250, 10, 20};  // top-left: red
    }
    if (y < mark && x >= width - mark) {
        return {15, 240, 30};  // top-right: green
    }
    if (y >= height - mark && x < mark) {
        return {20, 30, 245};  // bottom-left: blue
    }
    const Window windows[] = {
        {width / 10, height / 8, width / 2, height * 5 / 8, {236, 236, 232}, {52, 101, 164}},
        {width * 11 / 20,
         height / 4,
         width * 9 / 10,
         height * 3 / 4,
         {255, 255, 255},
         {115, 210, 22}},
    };
    const std::int64_t titleHeight = std::max<std::int64_t>(2, height / 40);
    for (const Window& w : windows) {
        if (x < w.x0 || x >= w.x1 || y < w.y0 || y >= w.y1) {
            continue;
        }
        if (x == w.x0 || x == w.x1 - 1 || y == w.y1 - 1) {
            return {40, 40, 40};
        }
        if (y < w.y0 + titleHeight) {
            return w.title;
        }
        // Lines of text: 6 x 10 cells holding 5 x 7 glyphs, with gaps between words.
        const std::int64_t lx = x - w.x0 - 8;
        const std::int64_t ly = y - w.y0 - titleHeight - 6;
        if (lx >= 0 && ly >= 0) {
            const std::int64_t cx = lx / 6;
            const std::int64_t cy = ly / 10;
            const auto glyph = static_cast<std::uint32_t>(cy * 1000 + cx);
            const bool space = hash(glyph) % 7 == 0;
            if (!space && lx % 6 < 5 && ly % 10 < 7 && glyphPixel(glyph, lx % 6, ly % 10)) {
                return {20, 20, 30};
            }
        }
        return w.body;
    }
    // Desktop: a vertical gradient with a horizontal tint.
    const auto g = static_cast<std::uint8_t>(40 + 120 * y / std::max<std::int64_t>(1, height));
    const auto r = static_cast<std::uint8_t>(30 + 60 * x / std::max<std::int64_t>(1, width));
    return {r, g, 170};
}

}  // namespace vrs::testing
