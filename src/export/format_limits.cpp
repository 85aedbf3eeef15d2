#include "export/format_limits.h"

// jpeglib.h needs size_t and FILE declared first.
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include <limits>

namespace vrs {
namespace {

constexpr std::int64_t kBmpHeader = 54;

}  // namespace

std::int64_t largestSide(ImageFormat format) {
    switch (format) {
        case ImageFormat::Tiff:
            return std::numeric_limits<std::uint32_t>::max();  // ImageWidth and ImageLength
        case ImageFormat::Jpeg:
            return JPEG_MAX_DIMENSION;  // libjpeg refuses more (65500)
        case ImageFormat::Bmp:
            return std::numeric_limits<std::int32_t>::max();  // signed header fields
        case ImageFormat::Gif:
            return 0xFFFF;  // the logical screen's 16-bit fields
        case ImageFormat::Png:
            return 0x7FFFFFFF;  // IHDR's sides are at most 2^31 - 1
    }
    return 0;
}

bool pictureFits(ImageFormat format, std::int64_t width, std::int64_t height) {
    const std::int64_t side = largestSide(format);
    if (width > side || height > side) {
        return false;
    }
    if (width <= 0 || height <= 0 || format != ImageFormat::Bmp) {
        return true;
    }
    // Rows padded to 4 bytes; the file size is a 32-bit field.
    const std::int64_t rowBytes = (3 * width + 3) & ~std::int64_t{3};
    return rowBytes <= (std::numeric_limits<std::uint32_t>::max() - kBmpHeader) / height;
}

std::string_view formatTitle(ImageFormat format) {
    switch (format) {
        case ImageFormat::Tiff:
            return "TIFF";
        case ImageFormat::Jpeg:
            return "JPEG";
        case ImageFormat::Bmp:
            return "BMP";
        case ImageFormat::Gif:
            return "GIF";
        case ImageFormat::Png:
            return "PNG";
    }
    return {};
}

}  // namespace vrs
