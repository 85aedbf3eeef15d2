// SPDX-License-Identifier: MIT
// The loader: checks a virtual-screen file's header and size, then hands its
// rows to the decoder. Refused files are worded for the user in one place,
// the catalogue of load_error.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "decode/image.h"
#include "platform/host.h"
#include "vrscreen/header.h"
#include "vrscreen/picture_formats.h"

namespace vrs {

enum class LoadError {
    None,
    TooShortForHeader,  // fewer than kHeaderSize bytes
    OldVersion,         // version <= 1
    EmptyBounds,        // rectangle header whose bounds are empty
    ZeroSize,           // sized header with width or height 0
    StrideTooSmall,     // stride smaller than a row's pixel bytes
    TruncatedRows,      // fewer bytes than the rows need
    TooLarge,           // bitmaps out of proportion to the file, or sizes that overflow
    ChangedWhileRead,   // the file shrank (or its bytes went) while it was read
    OtherFormat,        // a refused file that is a picture of another format (PNG, JPEG...)
    NotVirtualScreen,   // a refused file whose header makes no sense as a capture
};

// How many of a file's first bytes a refusal as NotVirtualScreen shows.
inline constexpr std::size_t kFirstBytesShown = 8;

// Everything known about a file, good or bad: enough to word a refusal with
// figures, and for `vrstool info`.
struct VirtualScreenInfo {
    LoadError error = LoadError::None;
    std::uint64_t fileSize = 0;
    std::int32_t version = 0;
    bool sized = false;
    RowLayout layout;               // what the header says, as far as it was read
    std::uint64_t bytesNeeded = 0;  // header + (height - 1) x stride + width x bytes per pixel
    std::uint64_t bitmapBytes = 0;  // what the two bitmaps would allocate
    PictureFormat format = PictureFormat::None;      // OtherFormat: which one
    std::uint8_t firstBytes[kFirstBytesShown] = {};  // NotVirtualScreen: how the file starts
};

// A file is refused for what it is rather than for its header's figures when
// it is a picture of another format, or when its header cannot be a
// capture's: a rectangle header whose version is negative or beyond any
// version a format ever counted to. Which files are refused never changes;
// only what a refusal says does.
inline constexpr std::int32_t kLargestPlausibleVersion = 0xFFFF;

// Checks the header and the length without decoding anything.
VirtualScreenInfo inspectVirtualScreen(const std::uint8_t* data, std::size_t length);

// vrstool's and the image plugins' English words for a refused file, in
// plain words and figures, to follow the name it puts first ("NAME: This file
// can't be read: ...", "NAME: changed while it was being read"); the causes'
// words are in the catalogue of load_error.h, which the viewer translates.
std::string describeLoadError(const VirtualScreenInfo& info);

// The first bytes of a file refused as NotVirtualScreen, in hexadecimal, and
// as text too when they are all printable: `25 21 50 53 2D 41 64 6F, "%!PS-Ado"`.
std::string describeFirstBytes(const VirtualScreenInfo& info);

// Decodes a file: returns the full image and stores the view image in
// *viewImage, or returns null. A refused file is not told to the user here:
// its cause and figures are left in *refusal for the caller to word (an old
// version also prints its line on standard output). `data` may be a mapping
// of a file that shrinks while it is read: that load is refused too
// (ChangedWhileRead). The decoder's own failures go through host.alert. A
// file read leaves its layout in *refusal too, with the error None.
// `refusal` may be null where only the images matter (benchmarks). `fd`,
// when not -1, is the mapped file's descriptor, which the rows are read from.
std::shared_ptr<Image> loadVirtualScreen(const std::uint8_t* data, std::size_t length,
                                         std::shared_ptr<Image>* viewImage, std::int64_t* progress,
                                         Host& host, VirtualScreenInfo* refusal = nullptr,
                                         int fd = -1);

}  // namespace vrs
