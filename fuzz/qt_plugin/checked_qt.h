// SPDX-License-Identifier: MIT
// One run of arbitrary bytes through the Qt image plugin's handler, as the
// fuzzer and the corpus replay run it: read whole, at a scaled size, a clip
// rectangle (scaled or not), each drawn from the input, and asked its size,
// from a random-access device and from a sequential one. The checks that
// must hold for any input abort when broken, which the fuzzer reports.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vrs::fuzz {

// True when the whole read gave a picture.
bool checkedQtRead(const std::uint8_t* data, std::size_t size);

}  // namespace vrs::fuzz
