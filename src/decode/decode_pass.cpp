#include "decode/decode_pass.h"

#include <cstring>

#include "decode/view_sampler.h"

namespace vrs {
namespace {

struct PlaneSet {
    std::uint8_t* planes[5] = {};
    std::int64_t bytesPerRow = 0;

    explicit PlaneSet(const PlanarBitmap& bitmap) : bytesPerRow(bitmap.bytesPerRow()) {
        bitmap.getBitmapDataPlanes(planes);
    }
    bool empty() const { return planes[0] == nullptr; }
    std::uint8_t* row(int plane, std::int64_t y) const { return planes[plane] + y * bytesPerRow; }
};

// Every row of the full image, each sampled into the view as it goes by.
template <typename DecodeRow>
void decodeRows(const DecodeSource& source, const PlaneSet& full, const PlaneSet& view,
                ViewSampler& sampler, DecodeProgress* progress, DecodeRow decodeRow) {
    const auto width = static_cast<std::size_t>(source.width);
    for (std::int64_t y = 0; y < source.height; ++y) {
        std::uint8_t* red = full.row(0, y);
        std::uint8_t* green = full.row(1, y);
        std::uint8_t* blue = full.row(2, y);
        decodeRow(source.rows + y * source.stride, source.width, red, green, blue);
        std::memset(full.row(3, y), 255, width);
        const std::int64_t vy = sampler.viewRowFor(y);
        if (vy >= 0 && !view.empty()) {
            // The view's alpha is already 255 from its fill.
            sampler.sampleRow(red, view.row(0, vy));
            sampler.sampleRow(green, view.row(1, vy));
            sampler.sampleRow(blue, view.row(2, vy));
        }
        if (progress != nullptr) {
            progress->afterRow(y);
        }
    }
}

}  // namespace

void decodePass(const DecodeSource& source, const PlanarBitmap& fullBitmap,
                const PlanarBitmap& viewBitmap, DecodeProgress& progress) {
    const PlaneSet full(fullBitmap);
    if ((source.depth != 32 && source.depth != 16) || full.empty()) {
        return;  // other depths decode nothing; an empty picture has nothing to decode
    }
    const PlaneSet view(viewBitmap);
    ViewSampler sampler(viewSizeFor(source.width, source.height), source.width);
    if (source.depth == 32) {
        decodeRows(source, full, view, sampler, nullptr, &decodeRow32);
    } else {
        decodeRows(source, full, view, sampler, &progress, &decodeRow16);
    }
}

}  // namespace vrs
