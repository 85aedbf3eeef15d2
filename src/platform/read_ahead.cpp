#include "platform/read_ahead.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

#ifndef MADV_POPULATE_READ
#define MADV_POPULATE_READ 22  // Linux 5.14
#endif

namespace vrs {

bool adviseWillRead(const void* data, std::size_t length) {
    if (data == nullptr || length == 0) {
        return false;
    }
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pageSize <= 0) {
        return false;
    }
    const auto page = static_cast<std::uintptr_t>(pageSize);
    const auto start = reinterpret_cast<std::uintptr_t>(data) & ~(page - 1);
    const auto end = reinterpret_cast<std::uintptr_t>(data) + length;
    auto* first = reinterpret_cast<void*>(start);
    // Populating maps every page of a file mapping at once, reading it in
    // first if need be. Older kernels (EINVAL) and ranges that are not all
    // mapped memory (ENOMEM) fall back to plain read-ahead of a file.
    if (madvise(first, end - start, MADV_POPULATE_READ) == 0) {
        return true;
    }
    return madvise(first, end - start, MADV_WILLNEED) == 0;
}

}  // namespace vrs
