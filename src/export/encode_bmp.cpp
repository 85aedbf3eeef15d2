// SPDX-License-Identifier: MIT
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "export/encoders.h"

namespace vrs {
namespace {

constexpr std::uint32_t kHeaderSize = 54;
constexpr std::int32_t kPixelsPerMetre = 2835;  // 72 dots per inch

void put16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void put32(std::uint8_t* p, std::uint32_t v) {
    put16(p, v & 0xFFFF);
    put16(p + 2, v >> 16);
}

void makeHeader(std::uint8_t* h, std::uint32_t width, std::uint32_t height,
                std::uint32_t imageBytes) {
    std::memset(h, 0, kHeaderSize);
    h[0] = 'B';
    h[1] = 'M';
    put32(h + 2, kHeaderSize + imageBytes);  // file size
    put32(h + 10, kHeaderSize);              // offset of the pixels
    put32(h + 14, 40);                       // BITMAPINFOHEADER
    put32(h + 18, width);
    put32(h + 22, height);  // positive: rows run bottom-up
    put16(h + 26, 1);       // planes
    put16(h + 28, 24);      // bits per pixel
    put32(h + 30, 0);       // BI_RGB, no compression
    put32(h + 34, imageBytes);
    put32(h + 38, kPixelsPerMetre);
    put32(h + 42, kPixelsPerMetre);
}

// Rows padded to 4 bytes.
std::int64_t rowBytesOf(std::int64_t width) {
    return (3 * width + 3) & ~std::int64_t{3};
}

}  // namespace

bool bmpFileFits(std::int64_t width, std::int64_t height) {
    // The header's 32-bit file size must hold the padded rows.
    return rowBytesOf(width) <= (std::numeric_limits<std::uint32_t>::max() - kHeaderSize) / height;
}

bool encodeBmp(RowSource& source, OutputStream& out, const EncodeOptions&) {
    const std::int64_t width = source.width();
    const std::int64_t height = source.height();
    const std::int64_t rowBytes = rowBytesOf(width);
    const auto imageBytes = static_cast<std::uint32_t>(rowBytes * height);
    std::uint8_t header[kHeaderSize];
    makeHeader(header, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height),
               imageBytes);
    if (!out.write(header, kHeaderSize)) {
        return false;
    }
    std::vector<std::uint8_t> line;
    try {
        line.assign(static_cast<std::size_t>(rowBytes), 0);  // padding stays 0
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (std::int64_t y = height - 1; y >= 0; --y) {
        RgbRow row;
        if (!source.row(y, &row)) {
            return false;
        }
        interleaveBgr(row, width, line.data());
        if (!out.write(line.data(), line.size())) {
            return false;
        }
    }
    return true;
}

}  // namespace vrs
