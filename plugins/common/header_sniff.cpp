// SPDX-License-Identifier: MIT
#include "header_sniff.h"

#include "vrscreen/header.h"

namespace vrs::plugin {

bool recognise(const std::uint8_t* head, std::size_t length) {
    if (length < kHeaderSize) {
        return false;
    }
    VRScreenFileHeader header;
    VRScreenFileHeaderConvertToHost(head, &header);
    if (header.version < kMinimumVersion) {
        return false;
    }
    if (isSizedHeader(header)) {
        return true;
    }
    const std::int32_t depth = header.screen.depth;
    return (depth == 16 || depth == 32) && headerGeometry(header).describesImage;
}

void packRgb32(const RgbRow& row, std::int64_t width, std::uint32_t* out) {
    const std::uint8_t* __restrict r = row.red;
    const std::uint8_t* __restrict g = row.green;
    const std::uint8_t* __restrict b = row.blue;
    for (std::int64_t x = 0; x < width; ++x) {
        out[x] = 0xff000000U | (std::uint32_t{r[x]} << 16) | (std::uint32_t{g[x]} << 8) | b[x];
    }
}

}  // namespace vrs::plugin
