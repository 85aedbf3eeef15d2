// SPDX-License-Identifier: MIT
#include "vrs_writer.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "vrscreen/header.h"

namespace vrs::testing {
namespace {

void putBE(std::vector<std::uint8_t>& b, std::size_t off, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        b[off + static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(v >> (8 * (bytes - 1 - i)));
    }
}

int bytesPerPixel(const VrsLayout& s) {
    return s.depth == 16 ? 2 : 4;
}

}  // namespace

std::int64_t layoutStride(const VrsLayout& layout) {
    if (layout.stride >= 0) {
        return layout.stride;
    }
    return (std::int64_t{layout.depth / 8} * layout.width + 16) & ~std::int64_t{15};
}

RowLayout rowLayoutOf(const VrsLayout& layout) {
    return {layout.width, layout.height, layout.depth, layoutStride(layout), kHeaderSize};
}

std::vector<std::uint8_t> makeHeader(const VrsLayout& layout) {
    std::vector<std::uint8_t> h(196, 0);
    putBE(h, 0, static_cast<std::uint32_t>(layout.version), 4);
    putBE(h, 32, static_cast<std::uint32_t>(layout.depth), 4);
    // Some noise in fields the reader must ignore.
    putBE(h, 8, 0x0102030405060708ULL, 8);
    putBE(h, 84, 0xDEADBEEF, 4);
    const auto top = static_cast<std::uint16_t>(layout.top);
    const auto left = static_cast<std::uint16_t>(layout.left);
    putBE(h, 100, top, 2);
    putBE(h, 102, left, 2);
    putBE(h, 104, static_cast<std::uint16_t>(top + layout.height), 2);
    putBE(h, 106, static_cast<std::uint16_t>(left + layout.width), 2);
    if (layout.sized) {
        putBE(h, 116, 0x69736267, 4);
        putBE(h, 124, layout.height, 4);
        putBE(h, 128, layout.width, 4);
        putBE(h, 132, static_cast<std::uint64_t>(layoutStride(layout)), 4);
    } else {
        putBE(h, 116, 0x12345678, 4);
    }
    putBE(h, 192, 0xCAFEF00D, 4);
    for (const auto& [offset, value] : layout.overrides) {
        if (offset < h.size()) {
            h[offset] = value;
        }
    }
    return h;
}

void encodePixel(const VrsLayout& layout, Rgb c, std::uint8_t* out) {
    if (layout.depth == 16) {
        const unsigned word = 0x8000u * (layout.filler & 1u) | ((c.r >> 3u) << 10u) |
                              ((c.g >> 3u) << 5u) | (c.b >> 3u);
        out[0] = static_cast<std::uint8_t>(word >> 8);
        out[1] = static_cast<std::uint8_t>(word);
        return;
    }
    out[0] = layout.filler;
    out[1] = c.r;
    out[2] = c.g;
    out[3] = c.b;
}

Rgb decodedColour(std::int32_t depth, Rgb c) {
    if (depth == 16) {
        return {static_cast<std::uint8_t>(c.r & 0xF8), static_cast<std::uint8_t>(c.g & 0xF8),
                static_cast<std::uint8_t>(c.b & 0xF8)};
    }
    return c;
}

namespace {

void fillRow(const VrsLayout& layout, const PixelFunction& pixel, std::int64_t y,
             std::vector<std::uint8_t>& row) {
    std::fill(row.begin(), row.end(), layout.filler);
    const auto bpp = static_cast<std::size_t>(bytesPerPixel(layout));
    for (std::int64_t x = 0; x < layout.width; ++x) {
        const std::size_t at = static_cast<std::size_t>(x) * bpp;
        if (at + bpp <= row.size()) {
            encodePixel(layout, pixel(x, y), row.data() + at);
        }
    }
}

std::size_t rowLength(const VrsLayout& layout, std::int64_t y) {
    // The last row only needs its pixels; earlier rows the whole stride.
    const auto pixels =
        static_cast<std::size_t>(layout.width) * static_cast<std::size_t>(bytesPerPixel(layout));
    const auto stride = static_cast<std::size_t>(layoutStride(layout));
    return y + 1 == layout.height ? pixels : stride;
}

}  // namespace

std::vector<std::uint8_t> makeVrs(const VrsLayout& layout, const PixelFunction& pixel) {
    std::vector<std::uint8_t> out = makeHeader(layout);
    std::vector<std::uint8_t> row;
    for (std::int64_t y = 0; y < layout.height; ++y) {
        row.assign(rowLength(layout, y), 0);
        fillRow(layout, pixel, y, row);
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

bool writeVrsFile(const std::string& path, const VrsLayout& layout, const PixelFunction& pixel) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!f) {
        return false;
    }
    const std::vector<std::uint8_t> header = makeHeader(layout);
    if (std::fwrite(header.data(), 1, header.size(), f.get()) != header.size()) {
        return false;
    }
    std::vector<std::uint8_t> row;
    for (std::int64_t y = 0; y < layout.height; ++y) {
        row.assign(rowLength(layout, y), 0);
        fillRow(layout, pixel, y, row);
        if (std::fwrite(row.data(), 1, row.size(), f.get()) != row.size()) {
            return false;
        }
    }
    return std::fclose(f.release()) == 0;
}

}  // namespace vrs::testing
