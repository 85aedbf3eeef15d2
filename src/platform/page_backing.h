// Asks the kernel to back a range of a mapping with memory now, as a write
// or a read of every page would, without changing a byte of it. A thread can
// so take the page faults of memory that another thread is about to use.
#pragma once

#include <cstddef>

namespace vrs {

// The pages holding [data, data + length) of a writable private mapping are
// made present and writable. False when the kernel cannot do it (older than
// Linux 5.14, out of memory, or not a mapping): nothing is lost, the pages
// are then backed when first written.
bool backForWrite(void* data, std::size_t length);

// The same for reading a file mapping: its pages are read in and mapped.
bool backForRead(const void* data, std::size_t length);

}  // namespace vrs
