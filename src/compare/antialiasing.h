// SPDX-License-Identifier: MIT
// Whether a pixel looks anti-aliased, by the test of Vysniauskas ("Anti-
// aliased pixel and intensity slope detector", 2009) as pixelmatch applies
// it: among its eight neighbours there are both brighter and darker ones,
// at most two of the same brightness, and the darkest or the brightest of
// them lies in a flat area (three or more equal neighbours) of both pictures.
#pragma once

#include <cstdint>

namespace vrs {

// Rows y - 2 to y + 2 of a picture in the compared form (four bytes a
// pixel); a row outside the picture is null.
struct RowWindow {
    const std::uint8_t* rows[5] = {};
    const std::uint8_t* row(std::int64_t dy) const { return rows[dy + 2]; }
};

// True when pixel x of the middle row of `picture` looks anti-aliased,
// `other` being the same rows of the picture it is compared with. `y` is the
// middle row's number, `width` and `height` the pictures' size.
bool looksAntialiased(const RowWindow& picture, const RowWindow& other, std::int64_t x,
                      std::int64_t y, std::int64_t width, std::int64_t height);

}  // namespace vrs
