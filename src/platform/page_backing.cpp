#include "platform/page_backing.h"

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

std::uintptr_t pageSize() {
    static const long size = sysconf(_SC_PAGESIZE);
    return size > 0 ? static_cast<std::uintptr_t>(size) : 4096;
}

bool populate(const void* data, std::size_t length, int advice) {
    if (data == nullptr || length == 0) {
        return false;
    }
    const std::uintptr_t page = pageSize();
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t start = begin & ~(page - 1);
    return madvise(reinterpret_cast<void*>(start), begin + length - start, advice) == 0;
}

}  // namespace

bool backForWrite(void* data, std::size_t length) {
    return populate(data, length, MADV_POPULATE_WRITE);
}

bool backForRead(const void* data, std::size_t length) {
    return populate(data, length, MADV_POPULATE_READ);
}

}  // namespace vrs
