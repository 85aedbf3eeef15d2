// SPDX-License-Identifier: MIT
#include "vrscreen/picture_formats.h"

#include <cstring>

namespace vrs {
namespace {

bool startsWith(const std::uint8_t* data, std::size_t length, std::size_t at,
                std::string_view signature) {
    return length >= at + signature.size() &&
           std::memcmp(data + at, signature.data(), signature.size()) == 0;
}

std::uint32_t littleEndian32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

// "BM" alone is too common a start: the reserved bytes are zero and the
// bitmap's own header has one of the sizes its versions define.
bool isBmp(const std::uint8_t* data, std::size_t length) {
    if (!startsWith(data, length, 0, "BM") || length < 18) {
        return false;
    }
    if (littleEndian32(data + 6) != 0) {
        return false;
    }
    switch (littleEndian32(data + 14)) {
        case 12:
        case 40:
        case 52:
        case 56:
        case 64:
        case 108:
        case 124:
            return true;
        default:
            return false;
    }
}

bool isTiff(const std::uint8_t* data, std::size_t length) {
    using namespace std::string_view_literals;
    return startsWith(data, length, 0, "II*\0"sv) || startsWith(data, length, 0, "MM\0*"sv) ||
           startsWith(data, length, 0, "II+\0"sv) || startsWith(data, length, 0, "MM\0+"sv);
}

}  // namespace

PictureFormat pictureFormatOf(const std::uint8_t* data, std::size_t length) {
    if (startsWith(data, length, 0, "\x89PNG\r\n\x1A\n")) {
        return PictureFormat::Png;
    }
    if (startsWith(data, length, 0, "\xFF\xD8\xFF")) {
        return PictureFormat::Jpeg;
    }
    if (startsWith(data, length, 0, "GIF87a") || startsWith(data, length, 0, "GIF89a")) {
        return PictureFormat::Gif;
    }
    if (isTiff(data, length)) {
        return PictureFormat::Tiff;
    }
    if (isBmp(data, length)) {
        return PictureFormat::Bmp;
    }
    if (startsWith(data, length, 0, "RIFF") && startsWith(data, length, 8, "WEBP")) {
        return PictureFormat::WebP;
    }
    if (startsWith(data, length, 0, "%PDF-")) {
        return PictureFormat::Pdf;
    }
    return PictureFormat::None;
}

std::string_view pictureFormatName(PictureFormat format) {
    switch (format) {
        case PictureFormat::None:
            break;
        case PictureFormat::Png:
            return "PNG";
        case PictureFormat::Jpeg:
            return "JPEG";
        case PictureFormat::Gif:
            return "GIF";
        case PictureFormat::Tiff:
            return "TIFF";
        case PictureFormat::Bmp:
            return "BMP";
        case PictureFormat::WebP:
            return "WebP";
        case PictureFormat::Pdf:
            return "PDF";
    }
    return "";
}

bool isDocumentFormat(PictureFormat format) {
    return format == PictureFormat::Pdf;
}

}  // namespace vrs
