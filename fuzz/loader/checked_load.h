// SPDX-License-Identifier: MIT
// One load of arbitrary bytes, as the fuzzer and the corpus replay run it:
// loadVirtualScreen with a silent host whose clock runs fast, then the checks
// that must hold for any input. A broken check aborts, which the fuzzer
// reports.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vrs::fuzz {

// True when the bytes gave an image.
bool checkedLoad(const std::uint8_t* data, std::size_t size);

}  // namespace vrs::fuzz
