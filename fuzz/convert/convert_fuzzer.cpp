// SPDX-License-Identifier: MIT
// libFuzzer entry: every input is a file handed to vrstool convert or thumbnail.
#include <cstddef>
#include <cstdint>

#include "checked_convert.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vrs::fuzz::checkedConvert(data, size);
    return 0;
}
