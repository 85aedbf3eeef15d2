// SPDX-License-Identifier: MIT
// The export formats, one table row each: the extensions that choose it (the
// text after the last dot of the last path component, compared
// case-sensitively), its names, its progress step, its limits, how many times
// its encoder reads the rows, and the encoder itself.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vrs {

class RowSource;
class OutputStream;

enum class ImageFormat { Tiff, Jpeg, Bmp, Gif, Png };

// What a caller may choose about the encoding; the defaults are the viewer's.
struct EncodeOptions {
    int jpegQuality = 50;  // 1 to 100; 50 is the compression factor 0.5
    // PNG: each row is read once, in order, and written as RGB, without a
    // first pass counting colours for a palette (for rows made as they are read).
    bool pngSinglePass = false;
    // PNG: black pixels are transparent (a tRNS chunk), the rest opaque.
    bool pngTransparentBlack = false;
    // PNG: every colour the picture may have (0xRRGGBB, each once), when the
    // caller knows them beforehand, near colours next to each other: up to 256
    // are written as a palette in this order without counting, each row read
    // once (RowSource::indexRow, where the source has it). A pixel of another
    // colour is written as the first one. Empty: counted, or RGB with
    // pngSinglePass.
    std::span<const std::uint32_t> pngColours;
};

// Writes the picture's bytes; false when it could not be converted or
// written (the stream's failed() tells the two apart). Called only for a
// picture that is not empty and fits the format.
using EncodeFunction = bool (*)(RowSource& source, OutputStream& out, const EncodeOptions& options);

struct FormatInfo {
    ImageFormat format;
    std::array<std::string_view, 2> extensions;  // exactly as typed
    std::string_view name;                       // the usual extension, for naming outputs
    std::string_view title;                      // for messages: "JPEG"
    std::string_view progressTitle;  // the progress window's step; "" keeps the one shown
    std::int64_t largestSide;        // pixels, either side
    // The file's own limit beyond the sides, worded for messages ("4 GiB"),
    // and its check; "" and null when the sides are the only limit.
    std::string_view largestFile;
    bool (*fileFits)(std::int64_t width, std::int64_t height);
    int rowPasses;  // how many times the encoder reads every row
    bool seeks;     // the encoder goes back in its output
    EncodeFunction encode;
};

// Every format, in the order of the extension list.
std::span<const FormatInfo> imageFormats();
const FormatInfo& formatInfo(ImageFormat format);

// The extension of the last path component: the text after its last dot, or
// "" when it has none (a leading dot, as in ".hidden", starts no extension).
std::string_view pathExtension(std::string_view path);

// The format written for an extension, or nothing when the extension is not
// exactly one in the table.
std::optional<ImageFormat> formatForExtension(std::string_view extension);

// The table's extensions, for a message: "tiff, tif, ..., png, PNG".
std::string extensionList();

// The name a panel requiring `extension` (one of the table's) saves under:
// `name` when it already ends in an extension of that format; with its
// extension replaced when that names another format of the table, in any
// case ("pic.tif" -> "pic.png"), so that the name never promises another
// format than the file holds; otherwise with the extension added after it
// ("notes.v2" -> "notes.v2.png").
std::string requiredExportName(std::string_view name, std::string_view extension);

// The path an export writes: a path without extension gets "jpg" appended,
// except a name that is a device or a FIFO (or a link to one: /dev/null,
// /dev/stdout), which is written to as it is.
std::string exportPath(std::string path);

// The extension whose format exportPath(path) is written in: its own, or
// "jpg" for a device written to by a name without one.
std::string exportExtension(const std::string& path);

// False when `format` cannot hold a width x height picture: a side beyond
// largestSide, or a file beyond largestFile. (An empty picture fits here;
// encodeImage refuses it.)
bool pictureFits(ImageFormat format, std::int64_t width, std::int64_t height);

}  // namespace vrs
