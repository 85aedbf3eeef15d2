// SPDX-License-Identifier: MIT
// One conversion of arbitrary bytes as vrstool makes it, for the fuzzer and
// the corpus replay: the header inspected, then the full picture, the view
// image or a thumbnail encoded into memory in one of the export formats. The
// input's last two bytes choose which (they are file bytes as well). A
// broken check aborts, which the fuzzer reports.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vrs::fuzz {

// True when the bytes were a readable file and were converted.
bool checkedConvert(const std::uint8_t* data, std::size_t size);

}  // namespace vrs::fuzz
