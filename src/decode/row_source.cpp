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

}  // namespace vrs
