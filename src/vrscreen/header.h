// SPDX-License-Identifier: MIT
// The kHeaderSize-byte big-endian header of a virtual-screen file, its host form, and
// the pixel geometry it describes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "decode/row_layout.h"
#include "vrscreen/rect.h"

namespace vrs {

inline constexpr std::size_t kHeaderSize = 196;
inline constexpr std::size_t kScreenBlockOffset = 4;
inline constexpr std::size_t kScreenBlockSize = 80;
inline constexpr std::uint64_t kSizedMagic = 0x69736267;  // "isbg"
inline constexpr std::int32_t kMinimumVersion = 2;

// Offsets of the fields the reader uses, from the start of the file.
inline constexpr std::size_t kVersionOffset = 0;
inline constexpr std::size_t kDepthOffset = 32;
inline constexpr std::size_t kBoundsOffset = 100;
inline constexpr std::size_t kMagicOffset = 116;
inline constexpr std::size_t kHeightOffset = 124;
inline constexpr std::size_t kWidthOffset = 128;
inline constexpr std::size_t kRowBytesOffset = 132;

// The 80-byte screen block at offset 4, in host byte order. Only depth is read.
struct VRScreen {
    std::uint8_t bytes0[4] = {};
    std::uint64_t value4 = 0;
    std::uint64_t value12 = 0;
    std::uint32_t value20 = 0;
    std::uint32_t value24 = 0;
    std::int32_t depth = 0;  // bits per pixel of the rows
    std::uint32_t value32 = 0;
    std::uint32_t value36 = 0;
    std::uint32_t value40 = 0;
    std::uint32_t value44 = 0;
    std::uint8_t bytes48[6] = {};
    std::uint16_t value54 = 0;
    std::uint16_t value56 = 0;
    std::uint16_t value58 = 0;
    std::uint32_t value60 = 0;
    std::uint32_t value64 = 0;
    std::uint32_t value68 = 0;
    std::uint32_t value72 = 0;
    std::uint32_t value76 = 0;
};

// The file header in host byte order. magic, height, width and rowBytes are
// widened to 64 bits, zero-extended from the file's unsigned 32-bit values.
struct VRScreenFileHeader {
    std::int32_t version = 0;
    VRScreen screen;
    std::uint8_t bytes84[16] = {};
    Rect bounds;
    std::uint32_t value108 = 0;
    std::uint32_t value112 = 0;
    std::uint64_t magic = 0;
    std::uint8_t bytes120[4] = {};
    std::uint64_t height = 0;
    std::uint64_t width = 0;
    std::uint64_t rowBytes = 0;
    std::uint8_t bytes136[56] = {};
    std::uint32_t value192 = 0;
};

// Reads the 80-byte block at `block` (file byte order) into `out`.
void VRScreenConvertToHost(const std::uint8_t* block, VRScreen* out);
// Reads the kHeaderSize bytes at `bytes` (file byte order) into `out`.
void VRScreenFileHeaderConvertToHost(const std::uint8_t* bytes, VRScreenFileHeader* out);

inline bool isSizedHeader(const VRScreenFileHeader& h) {
    return h.magic == kSizedMagic;
}

// Bytes per row of a rectangle header: (depth / 8 x width + 16) with the low
// four bits cleared, in signed 32-bit arithmetic (it wraps like the original).
std::int32_t rectangleStride(std::int32_t depth, std::int32_t width);

// The pixel geometry a header describes. `describesImage` is false for a
// rectangle header whose bounds are empty once moved to the origin: the
// layout then has only its depth and header size.
struct HeaderGeometry {
    bool sized = false;
    bool describesImage = false;
    RowLayout layout;
};

HeaderGeometry headerGeometry(const VRScreenFileHeader& h);

}  // namespace vrs
