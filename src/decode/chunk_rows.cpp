// SPDX-License-Identifier: MIT
#include "decode/chunk_rows.h"

#include "platform/regular_file.h"

namespace vrs {

ChunkRows::Fetched ChunkRows::fetch(RowRange rows) {
    inBuffer_ = false;
    if (source_.fd < 0 || rows.empty()) {
        return Fetched::InPlace;
    }
    const std::int64_t pixels = source_.layout.rowPixelBytes();
    const std::int64_t stride = source_.layout.stride;
    // The rows with the padding between them in one read, unless the padding
    // outweighs the pixels: then a read a row, packed.
    const bool whole = stride <= 2 * pixels;
    const std::int64_t spacing = whole ? stride : pixels;
    // The rows are in the file (the loader checked), so these bytes are
    // fewer than twice the file's.
    const auto need = static_cast<std::size_t>((rows.end - rows.first - 1) * spacing + pixels);
    if (buffer_.size() < need) {
        buffer_ = HugeBlock::make(need);
        if (buffer_.empty()) {
            return Fetched::InPlace;
        }
    }
    if (whole) {
        if (!readFully(source_.fd, source_.layout.rowOffset(rows.first), buffer_.data(), need)) {
            return Fetched::Short;
        }
    } else {
        for (std::int64_t y = rows.first; y < rows.end; ++y) {
            if (!readFully(source_.fd, source_.layout.rowOffset(y),
                           buffer_.data() + (y - rows.first) * spacing,
                           static_cast<std::size_t>(pixels))) {
                return Fetched::Short;
            }
        }
    }
    held_ = rows;
    spacing_ = spacing;
    inBuffer_ = true;
    return Fetched::Read;
}

}  // namespace vrs
