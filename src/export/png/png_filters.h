// PNG row filters (none, sub, up, average, Paeth) on 8-bit RGB rows, and the
// choice among them per row by the smallest sum of absolute filtered bytes.
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
// is the row above (zeros above the first row).
void applyPngFilter(PngFilter filter, const std::uint8_t* line, const std::uint8_t* prior,
                    std::size_t n, std::uint8_t* out);

// Turns interleaved RGB rows into filtered rows for the PNG data stream.
class PngRowFilter {
  public:
    // `filters`: PNG_FILTER_* bits; one bit, that filter on every row;
    // several, the one whose bytes sum smallest per row; 0, "up" for a row
    // equal to the one above and none otherwise.
    PngRowFilter(int filters, std::size_t rowBytes);
    // The filtered row (n + 1 bytes), valid until the next call.
    const std::uint8_t* filter(const std::uint8_t* line, bool first);

  private:
    void chooseAmong(const std::uint8_t* line);

    int filters_;
    std::size_t n_;
    std::vector<std::uint8_t> prior_;
    std::vector<std::uint8_t> best_;
    std::vector<std::uint8_t> trial_;
};

}  // namespace vrs
