// SPDX-License-Identifier: MIT
#include "platform/huge_pages.h"

#include <sys/mman.h>

#include <cstdint>

namespace vrs {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kSmallPage = 4096;
// From here on, the zeroing of a last, partly used huge page costs less
// than the small-page faults it replaces.
constexpr std::size_t kHugeFrom = std::size_t{1} << 20;

}  // namespace

LargeBlock mapLargeBlock(std::size_t size) {
    if (size == 0 || size > SIZE_MAX - 2 * kHugePage) {
        return {};
    }
    if (size < kHugeFrom) {
        const std::size_t mapped = (size + kSmallPage - 1) & ~(kSmallPage - 1);
        void* p = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        return p == MAP_FAILED ? LargeBlock{} : LargeBlock{p, mapped};
    }
    const std::size_t mapped = (size + kHugePage - 1) & ~(kHugePage - 1);
    // One huge page more than needed, so that a 2 MiB boundary lies inside;
    // the head and the tail beyond it are given back at once.
    void* p = mmap(nullptr, mapped + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS,
                   -1, 0);
    if (p == MAP_FAILED) {
        return {};
    }
    const auto address = reinterpret_cast<std::uintptr_t>(p);
    const std::size_t head = ((address + kHugePage - 1) & ~(kHugePage - 1)) - address;
    auto* start = static_cast<std::uint8_t*>(p) + head;
    // munmap of a part of our own fresh mapping fails only for a bad range:
    // the block is then merely larger than it need be.
    if (head != 0) {
        [[maybe_unused]] const int rc = munmap(p, head);
    }
    [[maybe_unused]] const int rc = munmap(start + mapped, kHugePage - head);
    // Only advice: without huge pages the block is backed by small ones.
    [[maybe_unused]] const int advised = madvise(start, mapped, MADV_HUGEPAGE);
    return {start, mapped};
}

void unmapLargeBlock(LargeBlock block) {
    if (block.data != nullptr) {
        // Fails only for a range that was never mapped: nothing to recover.
        [[maybe_unused]] const int rc = munmap(block.data, block.mapped);
    }
}

}  // namespace vrs
