// SPDX-License-Identifier: MIT
#include "decode/row_source.h"

#include <cstddef>

namespace vrs {

bool BitmapRowSource::row(std::int64_t y, RgbRow* out) {
    if (y < 0 || y >= bitmap_.height() || bitmap_.plane(0) == nullptr) {
        return false;
    }
    const auto offset = static_cast<std::size_t>(y * bitmap_.bytesPerRow());
    out->red = bitmap_.plane(0) + offset;
    out->green = bitmap_.plane(1) + offset;
    out->blue = bitmap_.plane(2) + offset;
    return true;
}

void interleaveRgb(const RgbRow& row, std::int64_t width, std::uint8_t* out) {
    const std::uint8_t* __restrict r = row.red;
    const std::uint8_t* __restrict g = row.green;
    const std::uint8_t* __restrict b = row.blue;
    for (std::int64_t x = 0; x < width; ++x) {
        out[0] = r[x];
        out[1] = g[x];
        out[2] = b[x];
        out += 3;
    }
}

void interleaveBgr(const RgbRow& row, std::int64_t width, std::uint8_t* out) {
    const std::uint8_t* __restrict r = row.red;
    const std::uint8_t* __restrict g = row.green;
    const std::uint8_t* __restrict b = row.blue;
    for (std::int64_t x = 0; x < width; ++x) {
        out[0] = b[x];
        out[1] = g[x];
        out[2] = r[x];
        out += 3;
    }
}

}  // namespace vrs
