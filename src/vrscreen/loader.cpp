// SPDX-License-Identifier: MIT
#include "vrscreen/loader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "decode/decoder.h"
#include "decode/planar_bitmap.h"
#include "platform/mapped_read_guard.h"
#include "platform/page_advice.h"

namespace vrs {
namespace {

// Bitmaps may take at most this many bytes per byte of the file, plus
// kBitmapSlack: a real file needs 4 (32-bit) to 8 (16-bit) bitmap bytes for
// each of its bytes, since a plane row is four times its width.
constexpr std::uint64_t kBitmapBytesPerFileByte = 32;
constexpr std::uint64_t kBitmapSlack = std::uint64_t{64} << 20;

bool mulOverflows(std::uint64_t a, std::uint64_t b, std::uint64_t* out) {
    return __builtin_mul_overflow(a, b, out);
}
bool addOverflows(std::uint64_t a, std::uint64_t b, std::uint64_t* out) {
    return __builtin_add_overflow(a, b, out);
}

// Bytes the four planes of a width x height bitmap take, or false on overflow.
bool bitmapBytes(std::int64_t width, std::int64_t height, std::uint64_t* out) {
    const std::int64_t perRow = planarBytesPerRow(width);
    if (perRow < 0 || height < 0) {
        return false;
    }
    std::uint64_t plane = 0;
    return !mulOverflows(static_cast<std::uint64_t>(perRow), static_cast<std::uint64_t>(height),
                         &plane) &&
           !mulOverflows(plane, PlanarBitmap::kPlanes, out);
}

// The empty-rectangle case keeps the rectangle's own (wrapped) size, so the
// refusal can say what it was.
void takeEmptyBounds(const VRScreenFileHeader& h, VirtualScreenInfo* info) {
    info->layout.width = static_cast<std::int16_t>(h.bounds.right - h.bounds.left);
    info->layout.height = static_cast<std::int16_t>(h.bounds.bottom - h.bounds.top);
}

LoadError checkRows(VirtualScreenInfo* info) {
    const RowLayout& layout = info->layout;
    if (layout.stride < layout.rowPixelBytes()) {
        return LoadError::StrideTooSmall;
    }
    // Every size is non-negative here.
    std::uint64_t needed = 0;
    if (!layout.bytesNeeded(&needed)) {
        return LoadError::TooLarge;
    }
    info->bytesNeeded = needed;
    if (info->fileSize < needed) {
        return LoadError::TruncatedRows;
    }
    const ViewSize view = viewSizeFor(layout.width, layout.height);
    std::uint64_t full = 0;
    std::uint64_t small = 0;
    std::uint64_t both = 0;
    std::uint64_t allowed = 0;
    if (!bitmapBytes(layout.width, layout.height, &full) ||
        !bitmapBytes(view.width, view.height, &small) || addOverflows(full, small, &both)) {
        return LoadError::TooLarge;
    }
    info->bitmapBytes = both;
    if (mulOverflows(info->fileSize, kBitmapBytesPerFileByte, &allowed) ||
        addOverflows(allowed, kBitmapSlack, &allowed)) {
        return LoadError::None;  // a file that large can back any bitmap we could compute
    }
    return info->bitmapBytes > allowed ? LoadError::TooLarge : LoadError::None;
}

LoadError inspect(const std::uint8_t* data, std::size_t length, VirtualScreenInfo* info) {
    info->fileSize = length;
    if (length < kHeaderSize) {
        return LoadError::TooShortForHeader;
    }
    VRScreenFileHeader header;
    VRScreenFileHeaderConvertToHost(data, &header);
    info->version = header.version;
    if (header.version < kMinimumVersion) {
        return LoadError::OldVersion;
    }
    const HeaderGeometry g = headerGeometry(header);
    info->sized = g.sized;
    info->layout = g.layout;
    if (!g.describesImage) {
        takeEmptyBounds(header, info);
        return LoadError::EmptyBounds;
    }
    if (g.layout.width == 0 || g.layout.height == 0) {
        return LoadError::ZeroSize;
    }
    return checkRows(info);
}

bool hasSizedMagic(const std::uint8_t* data, std::size_t length) {
    return length >= kHeaderSize && data[kMagicOffset] == 'i' && data[kMagicOffset + 1] == 's' &&
           data[kMagicOffset + 2] == 'b' && data[kMagicOffset + 3] == 'g';
}

// What a refused file is said to be: a picture of another format, a file
// that is no capture at all, or the capture the header describes, refused
// for `error`.
LoadError whatTheFileIs(const std::uint8_t* data, std::size_t length, LoadError error,
                        VirtualScreenInfo* info) {
    info->format = pictureFormatOf(data, std::min(length, kHeaderSize));
    if (info->format != PictureFormat::None) {
        return LoadError::OtherFormat;
    }
    if (error == LoadError::TooShortForHeader || hasSizedMagic(data, length) ||
        (info->version >= 0 && info->version <= kLargestPlausibleVersion)) {
        return error;
    }
    std::memcpy(info->firstBytes, data, kFirstBytesShown);
    return LoadError::NotVirtualScreen;
}

void printOldVersionLine() {
    // The line is for whoever reads standard output; the alert that follows
    // tells the user, so a closed standard output changes nothing.
    if (std::printf("An older version than %d couldn't be read.\n", kMinimumVersion) < 0 ||
        std::fflush(stdout) != 0) {
        std::clearerr(stdout);
    }
}

}  // namespace

VirtualScreenInfo inspectVirtualScreen(const std::uint8_t* data, std::size_t length) {
    VirtualScreenInfo info;
    info.error = inspect(data, length, &info);
    if (info.error != LoadError::None) {
        info.error = whatTheFileIs(data, length, info.error, &info);
    }
    return info;
}

std::shared_ptr<Image> loadVirtualScreen(const std::uint8_t* data, std::size_t length,
                                         std::shared_ptr<Image>* viewImage, std::int64_t* progress,
                                         Host& host, VirtualScreenInfo* refusal, int fd) {
    // The header is copied under guard: the file may already be shorter.
    std::uint8_t header[kHeaderSize] = {};
    const std::size_t headerBytes = length < kHeaderSize ? length : kHeaderSize;
    auto copy = [&header, data, headerBytes] { std::memcpy(header, data, headerBytes); };
    VirtualScreenInfo info;
    if (headerBytes > 0 && !readMapped(data, length, copy)) {
        info.error = LoadError::ChangedWhileRead;
    } else {
        info = inspectVirtualScreen(header, length);
    }
    // Whatever else the file turns out to be, its version was refused.
    if (info.error != LoadError::ChangedWhileRead && info.fileSize >= kHeaderSize &&
        info.version < kMinimumVersion) {
        printOldVersionLine();
    }
    if (info.error != LoadError::None) {
        if (refusal != nullptr) {
            *refusal = info;
        }
        return nullptr;
    }
    if (rowsDrawn(info.layout) && fd < 0) {
        // Only these depths read the rows. The result is a hint's: either way
        // the decoder reads the same bytes.
        [[maybe_unused]] const bool early = adviseWillRead(data, info.bytesNeeded);
    }
    bool changed = false;
    std::shared_ptr<Image> full =
        Data2NSImage(data, info.layout, viewImage, progress, host, &changed, fd);
    if (changed) {
        info.error = LoadError::ChangedWhileRead;
    }
    if (refusal != nullptr) {
        *refusal = info;  // a picture read: its layout, the error None
    }
    return full;
}

}  // namespace vrs
