// SPDX-License-Identifier: MIT
#include "export/export_format.h"

#include <algorithm>
#include <cctype>

// jpeglib.h needs size_t and FILE declared first.
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include <limits>

#include "export/encoders.h"
#include "platform/output_target.h"

namespace vrs {
namespace {

constexpr std::array<FormatInfo, 5> kFormats{{
    // libtiff patches its header at the end; "make tiff data" is already up.
    {ImageFormat::Tiff,
     {"tiff", "tif"},
     "tiff",
     "TIFF",
     "",
     std::numeric_limits<std::uint32_t>::max(),  // ImageWidth and ImageLength
     "",
     nullptr,
     1,
     true,
     encodeTiff},
    {ImageFormat::Jpeg,
     {"jpeg", "jpg"},
     "jpg",
     "JPEG",
     "convert to jpeg data",
     JPEG_MAX_DIMENSION,  // libjpeg refuses more (65500)
     "",
     nullptr,
     1,
     false,
     encodeJpeg},
    {ImageFormat::Bmp,
     {"bmp", "BMP"},
     "bmp",
     "BMP",
     "convert to bitmap data",
     std::numeric_limits<std::int32_t>::max(),  // signed header fields
     "4 GiB",
     bmpFileFits,
     1,
     false,
     encodeBmp},
    // One pass over the rows for the colours, one to write them.
    {ImageFormat::Gif,
     {"gif", "GIF"},
     "gif",
     "GIF",
     "convert to gif data",
     0xFFFF,  // the logical screen's 16-bit fields
     "",
     nullptr,
     2,
     false,
     encodeGif},
    {ImageFormat::Png,
     {"png", "PNG"},
     "png",
     "PNG",
     "convert to png data",
     0x7FFFFFFF,  // IHDR's sides are at most 2^31 - 1
     "",
     nullptr,
     1,
     false,
     encodePng},
}};

std::string_view lastComponent(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::span<const FormatInfo> imageFormats() {
    return kFormats;
}

const FormatInfo& formatInfo(ImageFormat format) {
    for (const FormatInfo& info : kFormats) {
        if (info.format == format) {
            return info;
        }
    }
    return kFormats[1];  // every enumerator has its row; JPEG is the default format
}

std::string_view pathExtension(std::string_view path) {
    const std::string_view name = lastComponent(path);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) {
        return {};
    }
    return name.substr(dot + 1);
}

std::optional<ImageFormat> formatForExtension(std::string_view extension) {
    for (const FormatInfo& info : kFormats) {
        for (const std::string_view e : info.extensions) {
            if (e == extension) {
                return info.format;
            }
        }
    }
    return std::nullopt;
}

std::string extensionList() {
    std::string list;
    for (const FormatInfo& info : kFormats) {
        for (const std::string_view e : info.extensions) {
            list += list.empty() ? "" : ", ";
            list += e;
        }
    }
    return list;
}

namespace {

bool sameLetters(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool namesAFormat(std::string_view extension) {
    for (const FormatInfo& info : kFormats) {
        for (const std::string_view e : info.extensions) {
            if (sameLetters(e, extension)) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

std::string requiredExportName(std::string_view name, std::string_view extension) {
    const std::string_view current = pathExtension(name);
    if (extension.empty() || lastComponent(name).empty()) {
        return std::string(name);
    }
    const std::optional<ImageFormat> wanted = formatForExtension(extension);
    if (!current.empty() && wanted && formatForExtension(current) == wanted) {
        return std::string(name);
    }
    std::string base(name);
    if (!current.empty() && namesAFormat(current)) {
        base.resize(base.size() - current.size() - 1);
    } else if (!base.empty() && base.back() == '.') {
        base.pop_back();  // "picture." already ends in a dot
    }
    return base + '.' + std::string(extension);
}

std::string exportPath(std::string path) {
    // A path naming a folder ("dir/") is left for the write to refuse.
    if (!pathExtension(path).empty() || lastComponent(path).empty() || namesStream(path)) {
        return path;
    }
    // "picture." already ends in the dot that the extension needs.
    if (path.empty() || path.back() != '.') {
        path += '.';
    }
    path += formatInfo(ImageFormat::Jpeg).name;
    return path;
}

std::string exportExtension(const std::string& path) {
    const std::string_view extension = pathExtension(path);
    if (extension.empty() && !lastComponent(path).empty() && namesStream(path)) {
        return std::string(formatInfo(ImageFormat::Jpeg).name);
    }
    return std::string(extension);
}

bool pictureFits(ImageFormat format, std::int64_t width, std::int64_t height) {
    const FormatInfo& info = formatInfo(format);
    if (width > info.largestSide || height > info.largestSide) {
        return false;
    }
    if (width <= 0 || height <= 0 || info.fileFits == nullptr) {
        return true;
    }
    return info.fileFits(width, height);
}

}  // namespace vrs
