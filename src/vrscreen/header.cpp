// SPDX-License-Identifier: MIT
#include "vrscreen/header.h"

#include <cstring>

#include "vrscreen/byte_order.h"

namespace vrs {
namespace {

std::int32_t readSigned32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(readBE32(p));
}
std::int16_t readSigned16(const std::uint8_t* p) {
    return static_cast<std::int16_t>(readBE16(p));
}

}  // namespace

void VRScreenConvertToHost(const std::uint8_t* block, VRScreen* out) {
    std::memcpy(out->bytes0, block, sizeof out->bytes0);
    out->value4 = readBE64(block + 4);
    out->value12 = readBE64(block + 12);
    out->value20 = readBE32(block + 20);
    out->value24 = readBE32(block + 24);
    out->depth = readSigned32(block + 28);
    out->value32 = readBE32(block + 32);
    out->value36 = readBE32(block + 36);
    out->value40 = readBE32(block + 40);
    out->value44 = readBE32(block + 44);
    std::memcpy(out->bytes48, block + 48, sizeof out->bytes48);
    out->value54 = readBE16(block + 54);
    out->value56 = readBE16(block + 56);
    out->value58 = readBE16(block + 58);
    out->value60 = readBE32(block + 60);
    out->value64 = readBE32(block + 64);
    out->value68 = readBE32(block + 68);
    out->value72 = readBE32(block + 72);
    out->value76 = readBE32(block + 76);
}

void VRScreenFileHeaderConvertToHost(const std::uint8_t* bytes, VRScreenFileHeader* out) {
    out->version = readSigned32(bytes + kVersionOffset);
    VRScreenConvertToHost(bytes + kScreenBlockOffset, &out->screen);
    std::memcpy(out->bytes84, bytes + 84, sizeof out->bytes84);
    out->bounds.top = readSigned16(bytes + kBoundsOffset);
    out->bounds.left = readSigned16(bytes + kBoundsOffset + 2);
    out->bounds.bottom = readSigned16(bytes + kBoundsOffset + 4);
    out->bounds.right = readSigned16(bytes + kBoundsOffset + 6);
    out->value108 = readBE32(bytes + 108);
    out->value112 = readBE32(bytes + 112);
    out->magic = readBE32(bytes + kMagicOffset);
    std::memcpy(out->bytes120, bytes + 120, sizeof out->bytes120);
    out->height = readBE32(bytes + kHeightOffset);
    out->width = readBE32(bytes + kWidthOffset);
    out->rowBytes = readBE32(bytes + kRowBytesOffset);
    std::memcpy(out->bytes136, bytes + 136, sizeof out->bytes136);
    out->value192 = readBE32(bytes + 192);
}

std::int32_t rectangleStride(std::int32_t depth, std::int32_t width) {
    const std::int64_t bytesPerPixel = depth / 8;  // truncates toward zero
    const std::int64_t raw = bytesPerPixel * width + 16;
    // Keep the 32-bit wrap of the original arithmetic, without undefined behaviour.
    const auto wrapped = static_cast<std::int32_t>(static_cast<std::uint32_t>(raw & 0xFFFFFFFF));
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(wrapped) & ~std::uint32_t{15});
}

HeaderGeometry headerGeometry(const VRScreenFileHeader& h) {
    HeaderGeometry g;
    g.layout.depth = h.screen.depth;
    g.layout.headerSize = kHeaderSize;
    g.sized = isSizedHeader(h);
    if (g.sized) {
        g.describesImage = true;
        g.layout.width = static_cast<std::int64_t>(h.width);
        g.layout.height = static_cast<std::int64_t>(h.height);
        g.layout.stride = static_cast<std::int64_t>(h.rowBytes);
        return g;
    }
    Rect moved = h.bounds;
    OffsetRect(&moved, static_cast<std::int16_t>(-moved.left),
               static_cast<std::int16_t>(-moved.top));
    if (EmptyRect(&moved)) {
        return g;
    }
    g.describesImage = true;
    g.layout.width = moved.right;
    g.layout.height = moved.bottom;
    g.layout.stride = rectangleStride(h.screen.depth, moved.right);
    return g;
}

}  // namespace vrs
