// SPDX-License-Identifier: MIT
#include <gif_lib.h>

#include <cstdint>
#include <memory>
#include <new>
#include <vector>

#include "export/encoders.h"
#include "export/gif/gif_palette.h"

namespace vrs {
namespace {

int writeData(GifFileType* gif, const GifByteType* data, int size) {
    auto* out = static_cast<OutputStream*>(gif->UserData);
    return size >= 0 && out->write(data, static_cast<std::size_t>(size)) ? size : 0;
}

struct MapDeleter {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

std::unique_ptr<ColorMapObject, MapDeleter> makeColourMap(
    const std::vector<PaletteColour>& colours) {
    int size = 2;  // a GIF colour table has 2^n entries, n >= 1
    while (size < static_cast<int>(colours.size())) {
        size *= 2;
    }
    std::vector<GifColorType> entries(static_cast<std::size_t>(size), GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < colours.size(); ++i) {
        entries[i] = {colours[i].r, colours[i].g, colours[i].b};
    }
    return std::unique_ptr<ColorMapObject, MapDeleter>(GifMakeMapObject(size, entries.data()));
}

bool writeRows(GifFileType* gif, RowSource& source, GifPalette& palette, std::uint8_t* line) {
    const std::int64_t width = source.width();
    for (std::int64_t y = 0; y < source.height(); ++y) {
        RgbRow row;
        if (!source.row(y, &row)) {
            return false;
        }
        palette.mapRow(row, width, line);
        if (EGifPutLine(gif, line, static_cast<int>(width)) != GIF_OK) {
            return false;
        }
    }
    return true;
}

bool writeGif(RowSource& source, OutputStream& out, GifPalette& palette, std::uint8_t* line) {
    const auto map = makeColourMap(palette.colours());
    if (!map) {
        return false;
    }
    int error = 0;
    GifFileType* gif = EGifOpen(&out, writeData, &error);
    if (gif == nullptr) {
        return false;
    }
    EGifSetGifVersion(gif, false);  // no extensions: GIF87a
    const int width = static_cast<int>(source.width());
    const int height = static_cast<int>(source.height());
    bool ok = EGifPutScreenDesc(gif, width, height, 8, 0, map.get()) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK &&
              writeRows(gif, source, palette, line);
    // Closing writes the trailer and frees the handle, also after a failure.
    ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
    return ok && !out.failed();
}

}  // namespace

bool encodeGif(RowSource& source, OutputStream& out, const EncodeOptions&) {
    const std::int64_t width = source.width();
    try {
        auto palette = std::make_unique<GifPalette>();
        if (!palette->build(source)) {
            return false;
        }
        std::vector<std::uint8_t> line(static_cast<std::size_t>(width));
        return writeGif(source, out, *palette, line.data());
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace vrs
