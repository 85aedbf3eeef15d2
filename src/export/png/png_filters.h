// SPDX-License-Identifier: MIT
// PNG row filters (none, sub, up, average, Paeth) on rows of 8-bit RGB (3
// bytes a pixel) or of palette indices (1 byte, or less), and the choice among
// them per row by the smallest sum of absolute filtered bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vrs {

enum PngFilter : std::uint8_t { kPngNone, kPngSub, kPngUp, kPngAverage, kPngPaeth };

// The PNG_FILTER_* bit of each filter: 0x08 none ... 0x80 Paeth.
constexpr int pngFilterBit(int filter) {
    return 0x08 << filter;
}
constexpr int kPngAllFilters = 0xF8;

// out[0] is the filter type, out[1..n] the filtered bytes of `line`; `prior`
// is the row above (zeros above the first row); `bytesPerPixel` is 1 or 3.
void applyPngFilter(PngFilter filter, const std::uint8_t* line, const std::uint8_t* prior,
                    std::size_t n, std::size_t bytesPerPixel, std::uint8_t* out);

// Turns rows of `bytesPerPixel` (1 or 3) into filtered rows for the PNG data
// stream.
class PngRowFilter {
  public:
    // `filters`: PNG_FILTER_* bits; one bit, that filter on every row;
    // several, the one whose bytes sum smallest per row; 0, "up" for a row
    // equal to the one above and none otherwise.
    PngRowFilter(int filters, std::size_t rowBytes, std::size_t bytesPerPixel);
    // The filtered row (n + 1 bytes), valid until the next call.
    const std::uint8_t* filter(const std::uint8_t* line, bool first);

  private:
    void chooseAmong(const std::uint8_t* line);

    int filters_;
    std::size_t n_;
    std::size_t bpp_;
    std::vector<std::uint8_t> prior_;
    std::vector<std::uint8_t> best_;
    std::vector<std::uint8_t> trial_;
};

}  // namespace vrs
