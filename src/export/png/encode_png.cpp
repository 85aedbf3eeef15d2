// SPDX-License-Identifier: MIT
// The PNG file is written here chunk by chunk: signature, IHDR, PLTE for a
// picture of 256 colours or fewer (counted in a first pass over the rows,
// which stops at the 257th colour), the image data as IDAT chunks, IEND.
// Rows are filtered on the calling thread and compressed in strips by
// ParallelDeflate, which hands back one zlib stream.
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "export/encoders.h"
#include "export/exact_colours.h"
#include "export/png/parallel_deflate.h"
#include "export/png/png_filters.h"
#include "export/png/png_palette.h"
#include "export/png/png_settings.h"

namespace vrs {
namespace {

constexpr std::size_t kIdatBytes = std::size_t{1} << 20;
constexpr int kBytesPerPixel = 3;

void putBe32(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value >> 24);
    at[1] = static_cast<std::uint8_t>(value >> 16);
    at[2] = static_cast<std::uint8_t>(value >> 8);
    at[3] = static_cast<std::uint8_t>(value);
}

bool writeChunk(OutputStream& out, const char type[4], const std::uint8_t* data, std::size_t size) {
    std::uint8_t head[8];
    putBe32(head, static_cast<std::uint32_t>(size));
    std::memcpy(head + 4, type, 4);
    uLong crc = crc32_z(0, head + 4, 4);
    if (size > 0) {  // crc32 of a null buffer is the initial value, not an update
        crc = crc32_z(crc, data, size);
    }
    std::uint8_t tail[4];
    putBe32(tail, static_cast<std::uint32_t>(crc));
    return out.write(head, sizeof head) && (size == 0 || out.write(data, size)) &&
           out.write(tail, sizeof tail);
}

// Gathers the compressed stream into IDAT chunks of up to 1 MiB.
class IdatSink final : public DeflateSink {
  public:
    explicit IdatSink(OutputStream& out) : out_(out) { buffer_.reserve(kIdatBytes); }
    bool write(const std::uint8_t* data, std::size_t size) override {
        while (size > 0) {
            const std::size_t take = std::min(size, kIdatBytes - buffer_.size());
            buffer_.insert(buffer_.end(), data, data + take);
            data += take;
            size -= take;
            if (buffer_.size() == kIdatBytes && !flush()) {
                return false;
            }
        }
        return !out_.failed();
    }
    bool flush() {
        const bool ok = buffer_.empty() || writeChunk(out_, "IDAT", buffer_.data(), buffer_.size());
        buffer_.clear();
        return ok;
    }

  private:
    OutputStream& out_;
    std::vector<std::uint8_t> buffer_;
};

// The colour type and depth of the file, and the row bytes before filtering.
struct PngLayout {
    const ExactColours* palette = nullptr;  // null: 8-bit RGB
    int depth = 8;
    std::size_t rowBytes = 0;
};

PngLayout layoutOf(std::int64_t width, const ExactColours& colours, const PngSettings& settings) {
    if (!settings.palette || !colours.exact()) {
        return {nullptr, 8, static_cast<std::size_t>(kBytesPerPixel * width)};
    }
    const int depth = pngPaletteDepth(colours.colours().size());
    return {&colours, depth, pngPackedBytes(width, depth)};
}

// Counts the picture's colours up to the 257th. False when a row cannot be had.
bool countColours(RowSource& source, ExactColours& colours) {
    for (std::int64_t y = 0; y < source.height() && colours.exact(); ++y) {
        RgbRow row;
        if (!source.scanRow(y, &row)) {
            return false;
        }
        colours.addRow(row, source.width());
    }
    return true;
}

// Black as the one transparent colour: a tRNS chunk, after PLTE when there is one.
bool writeTransparency(OutputStream& out, const PngLayout& layout) {
    if (!layout.palette) {
        static constexpr std::uint8_t kBlack[6] = {};  // 16-bit red, green, blue
        return writeChunk(out, "tRNS", kBlack, sizeof kBlack);
    }
    std::vector<std::uint8_t> alpha;
    for (const PaletteColour& c : layout.palette->colours()) {
        alpha.push_back(c.r == 0 && c.g == 0 && c.b == 0 ? 0 : 255);
    }
    return writeChunk(out, "tRNS", alpha.data(), alpha.size());
}

bool writeHeader(OutputStream& out, std::int64_t width, std::int64_t height,
                 const PngLayout& layout) {
    static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::uint8_t ihdr[13] = {};
    putBe32(ihdr, static_cast<std::uint32_t>(width));
    putBe32(ihdr + 4, static_cast<std::uint32_t>(height));
    ihdr[8] = static_cast<std::uint8_t>(layout.depth);  // bits per sample
    ihdr[9] = layout.palette ? 3 : 2;  // indexed or RGB; compression, filter, interlace 0
    if (!out.write(kSignature, sizeof kSignature) || !writeChunk(out, "IHDR", ihdr, sizeof ihdr)) {
        return false;
    }
    if (!layout.palette) {
        return true;
    }
    std::vector<std::uint8_t> plte;
    for (const PaletteColour& c : layout.palette->colours()) {
        plte.insert(plte.end(), {c.r, c.g, c.b});
    }
    return writeChunk(out, "PLTE", plte.data(), plte.size());
}

// A palette given beforehand is ordered as the caller chose; see PngSettings.
int filtersOf(const PngSettings& settings, const PngLayout& layout) {
    if (!layout.palette) {
        return settings.filters;
    }
    return settings.knownColours.empty() ? settings.paletteFilters : settings.knownFilters;
}

const DeflateOptions& deflateOf(const PngSettings& settings, const PngLayout& layout) {
    if (!layout.palette) {
        return settings.deflate;
    }
    return settings.knownColours.empty() ? settings.paletteDeflate : settings.knownDeflate;
}

// The bytes of row y before filtering: indices packed, or RGB interleaved.
// `indexed`: the source gives indices itself, in the order of the colours given.
bool lineOf(RowSource& source, std::int64_t y, const PngLayout& layout, bool indexed,
            std::uint8_t* indices, std::uint8_t* line) {
    const std::int64_t width = source.width();
    if (indexed) {
        const std::uint8_t* given = nullptr;
        if (!source.indexRow(y, &given)) {
            return false;
        }
        packPngIndices(given, width, layout.depth, line);
        return true;
    }
    RgbRow row;
    if (!source.row(y, &row)) {
        return false;
    }
    if (layout.palette) {
        layout.palette->mapRow(row, width, indices);
        packPngIndices(indices, width, layout.depth, line);
    } else {
        interleaveRgb(row, width, line);
    }
    return true;
}

bool compressRows(RowSource& source, ParallelDeflate& deflater, const PngSettings& settings,
                  const PngLayout& layout) {
    std::vector<std::uint8_t> line(layout.rowBytes);
    std::vector<std::uint8_t> indices(layout.palette ? static_cast<std::size_t>(source.width())
                                                     : 0);
    PngRowFilter filter(filtersOf(settings, layout), layout.rowBytes,
                        layout.palette ? 1 : kBytesPerPixel);
    const bool indexed = layout.palette && !settings.knownColours.empty() && source.indexed();
    for (std::int64_t y = 0; y < source.height(); ++y) {
        if (!lineOf(source, y, layout, indexed, indices.data(), line.data()) ||
            !deflater.add(filter.filter(line.data(), y == 0), layout.rowBytes + 1)) {
            return false;
        }
    }
    return true;
}

bool encode(RowSource& source, OutputStream& out, const PngSettings& settings) {
    auto colours = std::make_unique<ExactColours>();
    for (const std::uint32_t key : settings.knownColours) {
        colours->note(key);
    }
    if (settings.palette && settings.knownColours.empty() && !countColours(source, *colours)) {
        return false;
    }
    const PngLayout layout = layoutOf(source.width(), *colours, settings);
    if (!writeHeader(out, source.width(), source.height(), layout) ||
        (settings.transparentBlack && !writeTransparency(out, layout))) {
        return false;
    }
    IdatSink sink(out);
    ParallelDeflate deflater(deflateOf(settings, layout), sink);
    if (!deflater.start() || !compressRows(source, deflater, settings, layout) ||
        !deflater.finish() || !sink.flush()) {
        return false;
    }
    return writeChunk(out, "IEND", nullptr, 0) && !out.failed();
}

}  // namespace

bool encodePngWith(RowSource& source, OutputStream& out, const PngSettings& settings) {
    try {
        return encode(source, out, settings);
    } catch (...) {
        return false;
    }
}

bool encodePng(RowSource& source, OutputStream& out, const EncodeOptions& options) {
    PngSettings settings;
    settings.palette = !options.pngSinglePass || !options.pngColours.empty();
    settings.knownColours = options.pngColours;
    settings.transparentBlack = options.pngTransparentBlack;
    return encodePngWith(source, out, settings);
}

}  // namespace vrs
