// SPDX-License-Identifier: MIT
#include "platform/page_advice.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

// Debian 12's C library predates these two advice values (Linux 5.14).
#ifndef MADV_POPULATE_READ
#define MADV_POPULATE_READ 22
#endif
#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23
#endif

namespace vrs {
namespace {

bool advise(const void* data, std::size_t length, int advice) {
    static const long pageSize = sysconf(_SC_PAGESIZE);
    if (data == nullptr || length == 0 || pageSize <= 0) {
        return false;
    }
    const auto page = static_cast<std::uintptr_t>(pageSize);
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t start = begin & ~(page - 1);
    return madvise(reinterpret_cast<void*>(start), begin + length - start, advice) == 0;
}

}  // namespace

bool adviseWillRead(const void* data, std::size_t length) {
    // Read-ahead starts the reads and returns; populating the whole mapping
    // (MADV_POPULATE_READ, MAP_POPULATE) would instead wait for the whole
    // file before the first row is decoded, with no progress shown, and
    // measured no faster for a file already in the page cache.
    return advise(data, length, MADV_WILLNEED);
}

bool backForWrite(void* data, std::size_t length) {
    return advise(data, length, MADV_POPULATE_WRITE);
}

bool backForRead(const void* data, std::size_t length) {
    return advise(data, length, MADV_POPULATE_READ);
}

}  // namespace vrs
