// SPDX-License-Identifier: MIT
// The colours of a GIF: the picture's own colours when it has at most 256,
// otherwise 256 chosen by Wu's quantizer, each pixel then taking the palette
// colour nearest to it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "decode/row_source.h"
#include "export/exact_colours.h"
#include "export/gif/wu_quantizer.h"

namespace vrs {

class GifPalette {
  public:
    static constexpr int kMaxColours = 256;

    // Reads every row once. False when a row cannot be had or memory is short.
    bool build(RowSource& source);
    const std::vector<PaletteColour>& colours() const { return colours_; }
    // True when every colour of the picture is in the palette.
    bool exact() const { return exact_.exact(); }
    // The palette index of each of `width` pixels.
    void mapRow(const RgbRow& row, std::int64_t width, std::uint8_t* out);

  private:
    static constexpr std::uint32_t kColourSpace = 1U << 24;
    struct SortedEntry {
        PaletteColour colour;
        std::uint8_t index;
    };

    bool allocate();
    bool testAndSet(std::uint32_t key) {
        std::uint64_t& word = known_[key >> 6];
        const std::uint64_t bit = std::uint64_t{1} << (key & 63);
        const bool was = (word & bit) != 0;
        word |= bit;
        return was;
    }
    void countRow(const RgbRow& row, std::int64_t width, WuQuantizer& histogram);
    std::uint8_t nearest(std::uint32_t key) const;
    bool finish(WuQuantizer& histogram);

    ExactColours exact_;
    // For a picture of more than 256 colours: the nearest palette entry of
    // each colour met so far.
    std::unique_ptr<std::uint64_t[]> known_;  // one bit per 24-bit colour
    std::unique_ptr<std::uint8_t[]> index_;   // valid where known_ is set
    std::vector<PaletteColour> colours_;
    std::vector<SortedEntry> byGreen_;
};

}  // namespace vrs
