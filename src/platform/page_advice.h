// SPDX-License-Identifier: MIT
// Advice to the kernel about a range of a mapping, one madvise call each,
// the range widened to whole pages. None of them changes a byte.
#pragma once

#include <cstddef>

namespace vrs {

// Starts reading a file mapping's range in before it is read, so that a
// decode of a file not yet in the page cache overlaps its disk reads instead
// of waiting for each. Only a hint: true when the kernel took it.
bool adviseWillRead(const void* data, std::size_t length);

// Makes the pages holding [data, data + length) of a writable private
// mapping present and writable now, as a write of every page would, so that
// one thread can take the page faults of memory another is about to use.
// False when the kernel cannot (older than Linux 5.14, out of memory, or not
// a mapping): nothing is lost, the pages are then backed when first written.
bool backForWrite(void* data, std::size_t length);

// The same for reading a file mapping: its pages are read in and mapped.
bool backForRead(const void* data, std::size_t length);

}  // namespace vrs
