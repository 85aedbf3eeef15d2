// SPDX-License-Identifier: MIT
// The picture and document formats a file opened by mistake is most likely
// to be in, told by their first bytes, so that a refusal can say what the
// file is instead of reading its bytes as a header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vrs {

enum class PictureFormat { None, Png, Jpeg, Gif, Tiff, Bmp, WebP, Pdf };

// The format whose signature the first `length` bytes at `data` carry, or None.
PictureFormat pictureFormatOf(const std::uint8_t* data, std::size_t length);

// "PNG", "JPEG", ... ("" for None): the format's usual name, in every language.
std::string_view pictureFormatName(PictureFormat format);

// True for the formats that hold documents rather than pictures (PDF).
bool isDocumentFormat(PictureFormat format);

}  // namespace vrs
