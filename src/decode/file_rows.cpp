// SPDX-License-Identifier: MIT
#include "decode/file_rows.h"

#include <algorithm>
#include <cstring>

#include "decode/decoder.h"
#include "platform/regular_file.h"

namespace vrs {
namespace {

// About this many bytes are read at a time when rows are read in order.
constexpr std::size_t kBlockBytes = std::size_t{1} << 20;
// Padding between rows up to this many bytes is read with them: a read of
// its own would cost more than the bytes.
constexpr std::size_t kPaddingRead = 4096;

// Depths other than 16 and 32 have no pixels the decoder reads: black.
void fillBlack(std::int64_t count, std::uint8_t* red, std::uint8_t* green, std::uint8_t* blue) {
    const auto n = static_cast<std::size_t>(count);
    std::memset(red, 0, n);
    std::memset(green, 0, n);
    std::memset(blue, 0, n);
}

}  // namespace

bool FileBytes::read(std::uint64_t offset, void* out, std::size_t length) const {
    if (fd >= 0) {
        return readFully(fd, offset, out, length);
    }
    if (readAt != nullptr) {
        return readAt(context, offset, out, length);
    }
    if (offset > size || length > size - offset) {
        return false;
    }
    std::memcpy(out, memory + offset, length);
    return true;
}

bool FileBytes::unchanged() const {
    if (fd < 0 || !stamp) {
        return true;  // bytes in memory do not change
    }
    FileStamp now;
    return stampDescriptor(fd, &now) && now == *stamp;
}

void FileBytes::dataExtent(std::uint64_t offset, std::uint64_t* start, std::uint64_t* end) const {
    const int descriptor = fd >= 0 ? fd : (readAt != nullptr ? extentFd : -1);
    const std::uint64_t base = fd >= 0 ? 0 : extentBase;
    if (descriptor < 0 || __builtin_add_overflow(offset, base, start)) {
        *start = offset;
        *end = UINT64_MAX;
        return;
    }
    vrs::dataExtent(descriptor, offset + base, start, end);
    *start = *start == UINT64_MAX ? UINT64_MAX : (*start > base ? *start - base : 0);
    *end = *end == UINT64_MAX ? UINT64_MAX : (*end > base ? *end - base : 0);
}

bool FileRows::stillSame() {
    if (!rows_.bytes.unchanged()) {
        changed_ = true;
    }
    return !changed_;
}

std::size_t FileRows::rowBytes() const {
    return static_cast<std::size_t>(rows_.layout.rowPixelBytes());
}

void FileRows::prepare(bool wholeRows, std::size_t blockBytes) {
    if (decodeRow_ == nullptr) {
        return;  // nothing is read
    }
    const std::size_t block = blockBytes > 0 ? blockBytes : kBlockBytes;
    if (wholeRows || rowBytes() <= block) {
        block_.resize(std::max(rowBytes(), block));
    }
}

void FileRows::prepareColumns(std::int64_t count) {
    prepare(false);
    packed_.resize(static_cast<std::size_t>(count) * 4);
}

const std::uint8_t* FileRows::rowData(std::int64_t y) {
    // Rows read in order come a block at a time; a row asked for on its own
    // (a sampler skipping rows) is read alone.
    return rowData(y, y == lastRow_ + 1 ? rows_.layout.height : y + 1);
}

const std::uint8_t* FileRows::rowData(std::int64_t y, std::int64_t end) {
    lastRow_ = y;
    if (y >= blockFirst_ && y < blockFirst_ + blockRows_) {
        return block_.data() + (y - blockFirst_) * spacing_;
    }
    const auto stride = static_cast<std::size_t>(rows_.layout.stride);
    // With the padding between them in one read unless it outweighs both
    // the pixels and a page (then a read a row, packed, so that the bytes
    // read follow the pixels).
    const bool whole = stride - rowBytes() <= std::max(rowBytes(), kPaddingRead);
    const std::size_t spacing = whole ? stride : rowBytes();
    std::int64_t rows = 1;
    if (end > y + 1 && block_.size() > rowBytes()) {
        rows = static_cast<std::int64_t>((block_.size() - rowBytes()) / spacing) + 1;
        rows = std::min({rows, rows_.layout.height - y, end - y});
    }
    blockRows_ = 0;
    bool read = true;
    if (whole) {
        const std::size_t length = static_cast<std::size_t>(rows - 1) * stride + rowBytes();
        read = rows_.bytes.read(rows_.layout.rowOffset(y), block_.data(), length);
    } else {
        for (std::int64_t k = 0; read && k < rows; ++k) {
            read = rows_.bytes.read(rows_.layout.rowOffset(y + k), block_.data() + k * spacing,
                                    rowBytes());
        }
    }
    if (!read) {
        changed_ = true;
        return nullptr;
    }
    if (!stillSame()) {
        return nullptr;
    }
    blockFirst_ = y;
    blockRows_ = rows;
    spacing_ = static_cast<std::int64_t>(spacing);
    return block_.data();
}

bool FileRows::firstRowWithData(std::int64_t y, std::int64_t end, std::int64_t* out) {
    const RowLayout& layout = rows_.layout;
    const auto pixels = static_cast<std::uint64_t>(layout.rowPixelBytes());
    while (y < end) {
        const std::uint64_t at = layout.rowOffset(y);
        if (at >= dataStart_ && at < dataEnd_) {
            break;  // in the extent of data last found
        }
        std::uint64_t start = 0;
        std::uint64_t stop = 0;
        rows_.bytes.dataExtent(at, &start, &stop);
        if (start != UINT64_MAX && start - at < pixels) {
            dataStart_ = at;  // the row's bytes reach the data
            dataEnd_ = stop;
            break;
        }
        // Row y, and every row up to the one the data reaches, lie in a hole.
        // A file cut short shows as a hole to its end: its stamp tells it.
        if (!stillSame()) {
            return false;
        }
        y = start == UINT64_MAX ? end : std::min(end, std::max(y + 1, layout.rowsWithin(start)));
    }
    *out = std::min(y, end);
    return true;
}

bool FileRows::decode(std::int64_t y, std::uint8_t* red, std::uint8_t* green, std::uint8_t* blue) {
    if (decodeRow_ == nullptr) {
        fillBlack(rows_.layout.width, red, green, blue);
        return true;
    }
    const std::uint8_t* src = rowData(y);
    if (src == nullptr) {
        return false;
    }
    decodeRow_(src, rows_.layout.width, red, green, blue);
    return true;
}

bool FileRows::decodeColumns(std::int64_t y, const std::int64_t* columns, std::int64_t count,
                             std::uint8_t* red, std::uint8_t* green, std::uint8_t* blue) {
    if (decodeRow_ == nullptr) {
        fillBlack(count, red, green, blue);
        return true;
    }
    const std::size_t bytes = pixelBytes();
    std::uint8_t* out = packed_.data();
    if (!block_.empty()) {
        const std::uint8_t* src = rowData(y);
        if (src == nullptr) {
            return false;
        }
        for (std::int64_t k = 0; k < count; ++k) {
            std::memcpy(out + k * bytes, src + columns[k] * bytes, bytes);
        }
    } else {
        // Rows wider than a block: only the sampled pixels are read.
        const std::uint64_t row = rows_.layout.rowOffset(y);
        for (std::int64_t k = 0; k < count; ++k) {
            if (!rows_.bytes.read(row + static_cast<std::uint64_t>(columns[k]) * bytes,
                                  out + k * bytes, bytes)) {
                changed_ = true;
                return false;
            }
        }
        if (!stillSame()) {
            return false;
        }
    }
    decodeRow_(out, count, red, green, blue);
    return true;
}

bool FileRows::decodeSpan(std::int64_t y, std::int64_t first, std::int64_t count, std::uint8_t* red,
                          std::uint8_t* green, std::uint8_t* blue) {
    if (decodeRow_ == nullptr) {
        fillBlack(count, red, green, blue);
        return true;
    }
    const std::size_t bytes = pixelBytes();
    const std::uint8_t* src = nullptr;
    if (!block_.empty()) {
        src = rowData(y);
        if (src == nullptr) {
            return false;
        }
        src += static_cast<std::size_t>(first) * bytes;
    } else {
        const std::uint64_t at =
            rows_.layout.rowOffset(y) + static_cast<std::uint64_t>(first) * bytes;
        if (!rows_.bytes.read(at, packed_.data(), static_cast<std::size_t>(count) * bytes) ||
            !stillSame()) {
            changed_ = true;
            return false;
        }
        src = packed_.data();
    }
    decodeRow_(src, count, red, green, blue);
    return true;
}

}  // namespace vrs
