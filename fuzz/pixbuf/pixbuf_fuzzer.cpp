// SPDX-License-Identifier: MIT
// libFuzzer entry: every input is a file handed to the GdkPixbuf loader.
#include <cstddef>
#include <cstdint>

#include "checked_pixbuf.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vrs::fuzz::checkedPixbuf(data, size);
    return 0;
}
