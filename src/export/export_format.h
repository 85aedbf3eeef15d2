// The export formats and how a file name chooses one: the extension after the
// last dot of the last path component, compared case-sensitively.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vrs {

enum class ImageFormat { Tiff, Jpeg, Bmp, Gif, Png };

// The extension of the last path component: the text after its last dot, or
// "" when it has none (a leading dot, as in ".hidden", starts no extension).
std::string_view pathExtension(std::string_view path);

// The format written for an extension, or nothing when the extension is not
// exactly one of tiff, tif, jpeg, jpg, bmp, BMP, gif, GIF, png, PNG.
std::optional<ImageFormat> formatForExtension(std::string_view extension);

// The extensions accepted, worded for a message: "tiff, tif, ..., png, PNG".
std::string_view acceptedExtensionList();

// The path an export writes: a path without extension gets "jpg" appended.
std::string exportPath(std::string path);

// The usual extension of a format, for naming outputs ("tiff", "jpg", ...).
std::string_view formatName(ImageFormat format);

}  // namespace vrs
