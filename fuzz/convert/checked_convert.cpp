// SPDX-License-Identifier: MIT
#include "checked_convert.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "decode/decoder.h"
#include "decode/file_row_source.h"
#include "export/encoders.h"
#include "export/export_format.h"
#include "export/export_image.h"
#include "platform/output_stream.h"
#include "vrscreen/loader.h"

namespace vrs::fuzz {
namespace {

// Pictures are left alone above these sizes, so that a run takes milliseconds.
constexpr std::int64_t kMaxPixels = 256 * 256;
constexpr std::int64_t kMaxViewSourcePixels = 4 * kMaxPixels;  // reduced views are wide
constexpr std::int64_t kMaxThumbnailRowPixels = 16384;  // a whole file row is decoded per row
constexpr std::int64_t kMaxThumbnailSide = 64;

enum class Kind { Full, View, Thumbnail };

struct Choice {
    Kind kind = Kind::Full;
    ImageFormat format = ImageFormat::Png;
    std::int64_t thumbnailSide = 1;
};

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "checked convert: %s\n", what);
        std::abort();
    }
}

Choice choose(const std::uint8_t* data, std::size_t size) {
    const unsigned last = size > 0 ? data[size - 1] : 0;
    const unsigned before = size > 1 ? data[size - 2] : 0;
    Choice c;
    c.kind = static_cast<Kind>(last % 3);
    c.format = imageFormats()[last / 3 % imageFormats().size()].format;
    c.thumbnailSide = 1 + before % kMaxThumbnailSide;
    return c;
}

// The rows as vrstool hands them over, here from memory as for standard input.
PixelRows rowsOf(const std::uint8_t* data, std::size_t size, const VirtualScreenInfo& info) {
    return {{-1, data, size}, info.layout};
}

bool withinBounds(const VirtualScreenInfo& info, Kind kind) {
    if (kind == Kind::Thumbnail) {
        return info.layout.width <= kMaxThumbnailRowPixels;
    }
    const std::int64_t limit = kind == Kind::View ? kMaxViewSourcePixels : kMaxPixels;
    return info.layout.width <= limit && info.layout.height <= limit / info.layout.width;
}

// The bytes every format starts with, and the exact length of a BMP.
void checkOutput(ImageFormat format, const RowSource& source, const MemoryStream& out) {
    const auto& b = out.bytes();
    auto startsWith = [&b](const char* magic, std::size_t n) {
        return b.size() >= n && std::memcmp(b.data(), magic, n) == 0;
    };
    switch (format) {
        case ImageFormat::Tiff:
            check(startsWith("II*\0", 4) || startsWith("MM\0*", 4), "not a TIFF");
            break;
        case ImageFormat::Jpeg:
            check(startsWith("\xFF\xD8\xFF", 3), "not a JPEG");
            break;
        case ImageFormat::Bmp: {
            check(startsWith("BM", 2), "not a BMP");
            const std::int64_t row = (source.width() * 3 + 3) / 4 * 4;
            check(b.size() == static_cast<std::size_t>(54 + row * source.height()),
                  "a BMP of the wrong length");
            break;
        }
        case ImageFormat::Gif:
            check(startsWith("GIF8", 4), "not a GIF");
            break;
        case ImageFormat::Png:
            check(startsWith("\x89PNG\r\n\x1A\n", 8), "not a PNG");
            break;
    }
}

void encode(RowSource& source, ImageFormat format) {
    MemoryStream out;
    if (!pictureFits(format, source.width(), source.height())) {
        // Wider than the format holds (JPEG 65500, GIF 65535): refused, not written.
        check(!encodeImage(format, source, out), "a picture too large for its format encoded");
        return;
    }
    check(encodeImage(format, source, out), "a readable picture that did not encode");
    check(!out.failed(), "a memory stream that failed");
    checkOutput(format, source, out);
}

}  // namespace

bool checkedConvert(const std::uint8_t* data, std::size_t size) {
    const VirtualScreenInfo info = inspectVirtualScreen(data, size);
    if (info.error != LoadError::None) {
        check(!describeLoadError(info).empty(), "a refusal without words");
        return false;
    }
    check(info.bytesNeeded <= size, "rows beyond the data");
    check(info.layout.width > 0 && info.layout.height > 0, "a readable file without pixels");
    const Choice c = choose(data, size);
    if (!withinBounds(info, c.kind)) {
        return true;
    }
    const PixelRows rows = rowsOf(data, size, info);
    if (c.kind == Kind::Thumbnail) {
        ThumbnailRowSource source(rows, c.thumbnailSide);
        check(source.valid(), "a thumbnail without its buffers");
        check(source.width() >= 1 && source.height() >= 1, "an empty thumbnail");
        check(std::max(source.width(), source.height()) <= c.thumbnailSide,
              "a thumbnail larger than asked");
        check(source.width() <= info.layout.width && source.height() <= info.layout.height,
              "an enlarged thumbnail");
        encode(source, c.format);
        return true;
    }
    const ViewSize view = viewSizeFor(info.layout.width, info.layout.height);
    if (c.kind == Kind::View && (view.width == 0 || view.height == 0)) {
        // A very flat picture reduces to no rows: refused before any buffer is made.
        const ExportResult r = checkPictureSize(c.format, view.width, view.height, "view");
        check(r.error == ExportError::EmptyPicture, "an empty view not refused as empty");
        return true;
    }
    FileRowSource source(rows, c.kind == Kind::View);
    check(source.valid(), "a small picture without its buffers");
    const bool sized =
        c.kind == Kind::View
            ? source.width() == view.width && source.height() == view.height
            : source.width() == info.layout.width && source.height() == info.layout.height;
    check(sized, "rows of the wrong size");
    encode(source, c.format);
    return true;
}

}  // namespace vrs::fuzz
