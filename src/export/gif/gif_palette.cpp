// SPDX-License-Identifier: MIT
#include "export/gif/gif_palette.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace vrs {
namespace {

constexpr auto keyOf = ExactColours::keyOf;

constexpr PaletteColour colourOf(std::uint32_t key) {
    return {static_cast<std::uint8_t>(key >> 16), static_cast<std::uint8_t>(key >> 8),
            static_cast<std::uint8_t>(key)};
}

int distance(const PaletteColour& a, const PaletteColour& b) {
    const int dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
    return dr * dr + dg * dg + db * db;
}

}  // namespace

bool GifPalette::allocate() {
    known_.reset(new (std::nothrow) std::uint64_t[kColourSpace / 64]());
    // Only the entries of colours that occur are ever written or read.
    index_.reset(new (std::nothrow) std::uint8_t[kColourSpace]);
    return known_ && index_;
}

void GifPalette::countRow(const RgbRow& row, std::int64_t width, WuQuantizer& histogram) {
    std::int64_t x = 0;
    while (x < width) {
        const std::uint8_t r = row.red[x], g = row.green[x], b = row.blue[x];
        std::int64_t end = x + 1;
        while (end < width && row.red[end] == r && row.green[end] == g && row.blue[end] == b) {
            ++end;
        }
        histogram.add(r, g, b, static_cast<std::uint32_t>(end - x));
        exact_.note(keyOf(r, g, b));
        x = end;
    }
}

bool GifPalette::finish(WuQuantizer& histogram) {
    if (exact_.exact()) {
        colours_ = exact_.colours();
    } else {
        if (!allocate()) {
            return false;
        }
        colours_ = histogram.palette(kMaxColours);
    }
    byGreen_.clear();
    for (std::size_t i = 0; i < colours_.size(); ++i) {
        byGreen_.push_back({colours_[i], static_cast<std::uint8_t>(i)});
    }
    std::sort(byGreen_.begin(), byGreen_.end(),
              [](const SortedEntry& a, const SortedEntry& b) { return a.colour.g < b.colour.g; });
    return true;
}

bool GifPalette::build(RowSource& source) {
    colours_.clear();
    exact_ = ExactColours();
    try {
        auto histogram = std::make_unique<WuQuantizer>();
        for (std::int64_t y = 0; y < source.height(); ++y) {
            RgbRow row;
            if (!source.row(y, &row)) {
                return false;
            }
            countRow(row, source.width(), *histogram);
        }
        if (!finish(*histogram)) {
            return false;
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return !colours_.empty();
}

// The palette entry nearest to a colour: a walk outwards from the entries of
// equal green, stopped once the green difference alone exceeds the best.
std::uint8_t GifPalette::nearest(std::uint32_t key) const {
    const PaletteColour c = colourOf(key);
    const auto start =
        std::lower_bound(byGreen_.begin(), byGreen_.end(), c.g,
                         [](const SortedEntry& e, std::uint8_t g) { return e.colour.g < g; });
    int best = 1 << 30;
    std::uint8_t bestIndex = 0;
    auto consider = [&](const SortedEntry& e) {
        const int dg = e.colour.g - c.g;
        if (dg * dg >= best) {
            return false;
        }
        const int d = distance(e.colour, c);
        if (d < best) {
            best = d;
            bestIndex = e.index;
        }
        return true;
    };
    for (auto it = start; it != byGreen_.end() && consider(*it); ++it) {
    }
    for (auto it = start; it != byGreen_.begin() && consider(*(it - 1)); --it) {
    }
    return bestIndex;
}

void GifPalette::mapRow(const RgbRow& row, std::int64_t width, std::uint8_t* out) {
    if (exact_.exact()) {
        exact_.mapRow(row, width, out);
        return;
    }
    std::uint32_t lastKey = 0xFFFFFFFFU;
    std::uint8_t lastIndex = 0;
    for (std::int64_t x = 0; x < width; ++x) {
        const std::uint32_t key = keyOf(row.red[x], row.green[x], row.blue[x]);
        if (key != lastKey) {
            lastKey = key;
            if (testAndSet(key)) {
                lastIndex = index_[key];
            } else {
                lastIndex = index_[key] = nearest(key);
            }
        }
        out[x] = lastIndex;
    }
}

}  // namespace vrs
