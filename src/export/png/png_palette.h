// SPDX-License-Identifier: MIT
// Indexed PNG rows: the bit depth a palette needs, and the packing of one
// index a pixel into 1, 2, 4 or 8 bits, leftmost pixel in the high bits.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vrs {

// The least PNG bit depth (1, 2, 4 or 8) that holds `colours` indices.
int pngPaletteDepth(std::size_t colours);

// The bytes of a row of `width` pixels at `depth` bits each.
std::size_t pngPackedBytes(std::int64_t width, int depth);

// Packs `width` indices into pngPackedBytes(width, depth) bytes, the unused
// low bits of the last byte zero.
void packPngIndices(const std::uint8_t* indices, std::int64_t width, int depth, std::uint8_t* out);

}  // namespace vrs
