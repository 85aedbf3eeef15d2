// SPDX-License-Identifier: MIT
// Rows turned into the compared form (four bytes a pixel: red, green, blue,
// alpha), and the quick test of two capture rows of the same depth on the
// bytes the file holds, leaving out the bits the picture does not use.
#pragma once

#include <cstdint>

#include "decode/row_source.h"

namespace vrs {

// A capture row of `depth` bits a pixel in the compared form, with the
// colours the viewer shows. A depth the decoder does not decode is black.
void capturePixels(const std::uint8_t* row, std::int64_t width, std::int64_t depth,
                   std::uint8_t* out);

// Red, green, blue bytes (a PNG's row without alpha) in the compared form.
void rgbPixels(const std::uint8_t* rgb, std::int64_t width, std::uint8_t* out);

// Three planes (a decoded picture's row) in the compared form, opaque.
void planePixels(const RgbRow& row, std::int64_t width, std::uint8_t* out);

// True when two capture rows of `depth` (16 or 32) bits show the same
// colours: the first byte of a 32-bit pixel and the top bit of a 16-bit
// one are not compared.
bool sameCaptureRows(const std::uint8_t* a, const std::uint8_t* b, std::int64_t width,
                     std::int64_t depth);

// True when `count` pixels in the compared form are equal.
bool samePixels(const std::uint8_t* a, const std::uint8_t* b, std::int64_t count);

}  // namespace vrs
