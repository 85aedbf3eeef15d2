// libpng reports errors by longjmp to the setjmp in compress(). Nothing
// between the two has a destructor: compress() holds only plain data, the
// row buffer lives in encodePngWith(), and the write callback never fails (a
// failed write is remembered by the stream and checked after every row).
#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "export/encoders.h"
#include "export/png_settings.h"

namespace vrs {
namespace {

constexpr std::size_t kChunkBytes = 1 << 18;

void writeData(png_structp png, png_bytep data, png_size_t size) {
    auto* out = static_cast<OutputStream*>(png_get_io_ptr(png));
    out->write(data, size);
}

void flushData(png_structp) {}

void quietWarning(png_structp, png_const_charp) {}

void errorExit(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void configure(png_structp png, png_infop info, RowSource& source, const PngSettings& s) {
    png_set_IHDR(png, info, static_cast<png_uint_32>(source.width()),
                 static_cast<png_uint_32>(source.height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, s.level);
    png_set_compression_strategy(png, s.strategy);
    png_set_compression_mem_level(png, s.memLevel);
    png_set_compression_buffer_size(png, kChunkBytes);
    // With the row choice below, both filters are enabled first so that
    // libpng keeps the previous row that "up" needs.
    png_set_filter(png, PNG_FILTER_TYPE_BASE,
                   s.filters != 0 ? s.filters : PNG_FILTER_NONE | PNG_FILTER_UP);
}

// Screen pictures are mostly text and flat areas. Unfiltered rows compress
// text best; a row that repeats the one above becomes zeros under "up", which
// deflate keeps to a few bytes even when rows are longer than its window.
void chooseRowFilter(png_structp png, const std::uint8_t* line, const std::uint8_t* previous,
                     std::size_t bytes) {
    const bool repeat = previous != nullptr && std::memcmp(line, previous, bytes) == 0;
    png_set_filter(png, PNG_FILTER_TYPE_BASE, repeat ? PNG_FILTER_UP : PNG_FILTER_NONE);
}

// Only trivially destructible locals here: see the note at the top.
bool compress(RowSource& source, OutputStream& out, const PngSettings& settings,
              std::uint8_t* lines) {
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, errorExit, quietWarning);
    if (png == nullptr) {
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, writeData, flushData);
    configure(png, info, source, settings);
    png_write_info(png, info);
    const std::int64_t width = source.width();
    const std::int64_t height = source.height();
    const auto rowBytes = static_cast<std::size_t>(3 * width);
    bool ok = !out.failed();
    for (std::int64_t y = 0; ok && y < height; ++y) {
        RgbRow row;
        ok = source.row(y, &row);
        if (ok) {
            // Two row buffers in turn: the previous row stays for the comparison.
            std::uint8_t* line = lines + (y & 1) * rowBytes;
            interleaveRgb(row, width, line);
            if (settings.filters == 0) {
                chooseRowFilter(png, line, y == 0 ? nullptr : lines + ((y - 1) & 1) * rowBytes,
                                rowBytes);
            }
            png_write_row(png, line);
            ok = !out.failed();
        }
    }
    if (ok) {
        png_write_end(png, nullptr);
    }
    png_destroy_write_struct(&png, &info);
    return ok && !out.failed();
}

}  // namespace

int defaultPngFilters() {
    return PNG_FILTER_SUB | PNG_FILTER_UP;
}

bool encodePngWith(RowSource& source, OutputStream& out, const PngSettings& settings) {
    const std::int64_t width = source.width();
    const std::int64_t height = source.height();
    constexpr std::int64_t kMaxSide = PNG_UINT_31_MAX;
    // libpng's row buffers hold 3 x width + 1 bytes in a png_size_t.
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
        return false;
    }
    std::vector<std::uint8_t> line;
    try {
        line.resize(static_cast<std::size_t>(2 * 3 * width));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return compress(source, out, settings, line.data());
}

bool encodePng(RowSource& source, OutputStream& out) {
    return encodePngWith(source, out, {});
}

}  // namespace vrs
