// SPDX-License-Identifier: MIT
// A chunk of the picture's rows compressed on its own by libjpeg into
// memory, with the standard Huffman tables, and the parts of that file the
// joined file needs: its markers before the scan, the tables, the scan's
// layout and its entropy-coded data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "export/jpeg/scan_recoder.h"

namespace vrs {

struct FreeDeleter {
    void operator()(std::uint8_t* p) const;
};

struct JpegChunk {
    std::unique_ptr<std::uint8_t, FreeDeleter> bytes;  // the whole file
    std::size_t size = 0;
    std::size_t sofAt = 0;   // the frame header's marker
    std::size_t sosAt = 0;   // the scan header's marker
    std::size_t dataAt = 0;  // the entropy-coded data, up to the end marker
    std::size_t dataEnd = 0;
    JpegTables tables;  // the tables of its data
    ScanLayout layout;
};

// Compresses `rows` interleaved RGB rows of `width` pixels at libjpeg's
// quality 1 to 100 and finds its parts. False when libjpeg fails, memory is
// short, or the file is not laid out as expected.
bool compressChunk(const std::uint8_t* rgb, std::int64_t width, std::int64_t rows, int quality,
                   JpegChunk* chunk);

}  // namespace vrs
