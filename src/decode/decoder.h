// SPDX-License-Identifier: MIT
// The pixel decoder: one pass over a file's rows makes the full image and the
// screen-sized view image.
#pragma once

#include <cstdint>
#include <memory>

#include "decode/image.h"
#include "decode/row_layout.h"
#include "platform/host.h"

namespace vrs {

inline constexpr std::int64_t kViewMaxWidth = 1600;
inline constexpr std::int64_t kViewMaxHeight = 1200;

struct ViewSize {
    double scale = 1;  // s: 1, or the factor that brings the picture within 1600 x 1200
    std::int64_t width = 0;
    std::int64_t height = 0;
};

// The view image's scale factor and size for a picture of width x height.
ViewSize viewSizeFor(std::int64_t width, std::int64_t height);

// Decodes one row of `width` pixels into three planes (red, green, blue).
// These are the decoder's own row routines; vrstool's streaming export uses
// the same ones.
void decodeRow32(const std::uint8_t* src, std::int64_t width, std::uint8_t* red,
                 std::uint8_t* green, std::uint8_t* blue);
void decodeRow16(const std::uint8_t* src, std::int64_t width, std::uint8_t* red,
                 std::uint8_t* green, std::uint8_t* blue);

using DecodeRow = void (*)(const std::uint8_t* src, std::int64_t width, std::uint8_t* red,
                           std::uint8_t* green, std::uint8_t* blue);

// The row routine for a depth: decodeRow32, decodeRow16, or null for the
// depths whose rows are not decoded (the picture stays as it was made).
DecodeRow rowDecoderFor(std::int64_t depth);

// Whether the decoder draws the rows of a layout. When it does not, the
// full picture is black and the view image white, whatever the rows hold:
// no reader visits such rows one by one.
inline bool rowsDrawn(const RowLayout& layout) {
    return rowDecoderFor(layout.depth) != nullptr;
}

// Makes the full image and the view image from the rows `layout` places in
// `data`. The caller guarantees the rows are there (the loader checks). Stores the view image in
// *viewImage as soon as it is made, counts progress updates in *progress, and reports failures
// through host.alert. Returns the full image, or null after a failure. When the rows are a file
// mapping and the file shrinks under the decode, nothing is alerted: the
// result and *viewImage are null and *fileChanged (if given) is set, for the
// caller to word. `fd`, when not -1, is the mapped file's descriptor: the
// rows are then read from it with pread rather than from the mapping.
std::shared_ptr<Image> Data2NSImage(const std::uint8_t* data, const RowLayout& layout,
                                    std::shared_ptr<Image>* viewImage, std::int64_t* progress,
                                    Host& host, bool* fileChanged = nullptr, int fd = -1);

}  // namespace vrs
