// SPDX-License-Identifier: MIT
// Xiaolin Wu's colour quantizer: a histogram of the picture's colours (5 bits
// per channel, with each cell's exact sums), cut into boxes of least variance.
#pragma once

#include <cstdint>
#include <vector>

namespace vrs {

struct PaletteColour {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const PaletteColour&, const PaletteColour&) = default;
};

class WuQuantizer {
  public:
    static constexpr int kSide = 33;  // 32 levels per channel and a zero border

    WuQuantizer();
    // Counts `count` pixels of one colour.
    void add(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint32_t count) {
        const int i = index((r >> 3) + 1, (g >> 3) + 1, (b >> 3) + 1);
        weight_[i] += count;
        sumR_[i] += static_cast<std::int64_t>(r) * count;
        sumG_[i] += static_cast<std::int64_t>(g) * count;
        sumB_[i] += static_cast<std::int64_t>(b) * count;
        sumSquares_[i] += static_cast<double>(r * r + g * g + b * b) * count;
    }
    // At most maxColours colours that stand for the picture. Call once.
    std::vector<PaletteColour> palette(int maxColours);

    static int index(int r, int g, int b) { return (r * kSide + g) * kSide + b; }

  private:
    struct Box {
        int r0, r1, g0, g1, b0, b1;  // lower bounds exclusive, upper inclusive
    };
    struct Moments;

    void accumulate();
    bool cut(Box& a, Box& b) const;
    double variance(const Box& box) const;
    PaletteColour mean(const Box& box) const;

    std::vector<std::int64_t> weight_, sumR_, sumG_, sumB_;
    std::vector<double> sumSquares_;
};

}  // namespace vrs
