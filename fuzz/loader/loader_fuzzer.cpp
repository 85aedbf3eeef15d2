// SPDX-License-Identifier: MIT
// libFuzzer entry: every input is a virtual-screen file.
#include <cstddef>
#include <cstdint>

#include "checked_load.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vrs::fuzz::checkedLoad(data, size);
    return 0;
}
