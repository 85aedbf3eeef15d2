// SPDX-License-Identifier: MIT
#include "export/png/png_palette.h"

#include <cstring>

namespace vrs {

int pngPaletteDepth(std::size_t colours) {
    if (colours <= 2) {
        return 1;
    }
    if (colours <= 4) {
        return 2;
    }
    return colours <= 16 ? 4 : 8;
}

std::size_t pngPackedBytes(std::int64_t width, int depth) {
    return (static_cast<std::size_t>(width) * static_cast<std::size_t>(depth) + 7) / 8;
}

void packPngIndices(const std::uint8_t* indices, std::int64_t width, int depth, std::uint8_t* out) {
    const auto n = static_cast<std::size_t>(width);
    if (depth == 8) {
        std::memcpy(out, indices, n);
        return;
    }
    const std::size_t perByte = static_cast<std::size_t>(8 / depth);
    const std::size_t bytes = pngPackedBytes(width, depth);
    for (std::size_t i = 0; i < bytes; ++i) {
        unsigned byte = 0;
        for (std::size_t k = 0; k < perByte; ++k) {
            const std::size_t x = i * perByte + k;
            const unsigned index = x < n ? indices[x] : 0U;
            byte = (byte << depth) | index;
        }
        out[i] = static_cast<std::uint8_t>(byte);
    }
}

}  // namespace vrs
