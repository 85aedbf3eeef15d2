// Asks the kernel to start reading a file mapping's range in before it is
// read, so that a decode of a file not yet in the page cache overlaps its
// disk reads instead of waiting for each. Only a hint: nothing changes if it
// cannot be done.
#pragma once

#include <cstddef>

namespace vrs {

// Returns true when the kernel took the hint.
bool adviseWillRead(const void* data, std::size_t length);

}  // namespace vrs
