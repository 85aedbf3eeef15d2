// SPDX-License-Identifier: MIT
// Telling a virtual-screen file by its first bytes, for hosts that pick an
// image reader by content, and the pixel layouts the hosts take.
#pragma once

#include <cstddef>
#include <cstdint>

#include "decode/row_source.h"

namespace vrs::plugin {

// Whether the first `length` bytes of a file start a virtual-screen header
// of either form. A sized header says so by its "isbg" magic; a rectangle
// header has no magic, so it is claimed only with a version the loader reads,
// a depth the decoder decodes (16 or 32) and a picture rectangle that is not
// empty, which other formats' first bytes hardly ever give.
bool recognise(const std::uint8_t* head, std::size_t length);

// A decoded row as 32-bit pixels 0xffRRGGBB (Qt's RGB32).
void packRgb32(const RgbRow& row, std::int64_t width, std::uint32_t* out);

}  // namespace vrs::plugin
