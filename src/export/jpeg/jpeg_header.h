// SPDX-License-Identifier: MIT
// The markers of the joined file before its entropy-coded data: the first
// chunk's, as libjpeg wrote them, with the picture's height in the frame
// header and the picture's own Huffman tables in place of the standard ones.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "export/jpeg/chunk_compressor.h"

namespace vrs {

// False when the first chunk's markers are not as expected.
bool jpegHeader(const JpegChunk& first, std::int64_t height, const JpegTables& tables,
                std::vector<std::uint8_t>* out);

}  // namespace vrs
