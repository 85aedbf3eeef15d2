// Asks the kernel to bring a range of memory in before it is read, so that a
// file mapping read from end to end costs a few calls instead of a page
// fault every few pages. Only a hint: nothing changes if it cannot be done.
#pragma once

#include <cstddef>

namespace vrs {

// Returns true when the range was populated or read ahead.
bool adviseWillRead(const void* data, std::size_t length);

}  // namespace vrs
