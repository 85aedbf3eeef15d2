// SPDX-License-Identifier: MIT
// The colours of a picture that has at most 256, each with its palette index
// in order of first appearance; counting stops at the 257th colour, so a
// picture with many colours costs only the rows up to it.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "decode/row_source.h"
#include "export/gif/wu_quantizer.h"

namespace vrs {

class ExactColours {
  public:
    static constexpr int kMaxColours = 256;

    static constexpr std::uint32_t keyOf(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        return (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
    }

    ExactColours() { keys_.fill(kEmpty); }
    // Counts one colour; false once the picture has more than 256.
    bool note(std::uint32_t key);
    // Counts a row's colours; false once the picture has more than 256.
    bool addRow(const RgbRow& row, std::int64_t width);
    bool exact() const { return exact_; }
    const std::vector<PaletteColour>& colours() const { return colours_; }
    // The index of a colour counted before.
    std::uint8_t indexOf(std::uint32_t key) const { return index_[slotOf(key)]; }
    // The index of each of `width` pixels, whose colours were all counted.
    void mapRow(const RgbRow& row, std::int64_t width, std::uint8_t* out) const;

  private:
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFFU;  // no 24-bit key
    static constexpr int kSlotBits = 10;                  // a quarter full at most

    // The slot holding `key`, or the empty one where it would go.
    std::size_t slotOf(std::uint32_t key) const {
        std::size_t slot = (key * 2654435761U) >> (32 - kSlotBits);
        while (keys_[slot] != key && keys_[slot] != kEmpty) {
            slot = (slot + 1) & ((std::size_t{1} << kSlotBits) - 1);
        }
        return slot;
    }

    std::array<std::uint32_t, std::size_t{1} << kSlotBits> keys_;
    std::array<std::uint8_t, std::size_t{1} << kSlotBits> index_{};
    std::vector<PaletteColour> colours_;
    bool exact_ = true;
};

}  // namespace vrs
