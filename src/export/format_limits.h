// The largest picture each format's writer can hold, checked before any
// buffer is allocated for a conversion.
#pragma once

#include <cstdint>
#include <string_view>

#include "export/export_format.h"

namespace vrs {

// The longest side, in pixels, a file of `format` can hold.
std::int64_t largestSide(ImageFormat format);

// False when `format` cannot hold a width x height picture: a side beyond
// largestSide(), or for BMP a file beyond its 32-bit size field. (An empty
// picture fits here; the encoders refuse it.)
bool pictureFits(ImageFormat format, std::int64_t width, std::int64_t height);

// The format's name for messages: "TIFF", "JPEG", "BMP", "GIF", "PNG".
std::string_view formatTitle(ImageFormat format);

}  // namespace vrs
