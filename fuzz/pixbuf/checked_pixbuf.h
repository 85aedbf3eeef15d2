// SPDX-License-Identifier: MIT
// One run of arbitrary bytes through the GdkPixbuf loader, as the fuzzer and
// the corpus replay run it: fed in pieces of varying length, asked for a
// thumbnail of at most 256 x 256 as file managers ask, then again for a size
// drawn from the input (its own, a fraction, 1 x 1, or none); then read
// whole as a stream. The checks that must hold for any input abort when
// broken, which the fuzzer reports.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vrs::fuzz {

// True when the stream read gave a picture.
bool checkedPixbuf(const std::uint8_t* data, std::size_t size);

}  // namespace vrs::fuzz
