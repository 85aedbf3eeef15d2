// SPDX-License-Identifier: MIT
// Fresh memory for a large buffer about to be written whole (a picture for
// the screen). On this kind of machine the first touch of every 4 KiB page
// costs a fault; a block of a megabyte or more is therefore made of whole
// 2 MiB pages on a 2 MiB boundary and asks the kernel for huge pages, one
// fault each. Smaller blocks are plain anonymous mappings.
#pragma once

#include <cstddef>

namespace vrs {

// A block from mapLargeBlock: where it starts and how much was mapped.
struct LargeBlock {
    void* data = nullptr;
    std::size_t mapped = 0;
};

// At least `size` zeroed, writable bytes, page-aligned; data is null when
// the size is zero or the memory cannot be mapped.
LargeBlock mapLargeBlock(std::size_t size);

// Gives a block from mapLargeBlock back; an empty block is left alone.
void unmapLargeBlock(LargeBlock block);

}  // namespace vrs
