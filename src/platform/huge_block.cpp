// SPDX-License-Identifier: MIT
#include "platform/huge_block.h"

#include <sys/mman.h>

#include <cstdint>
#include <limits>
#include <utility>

namespace vrs {
namespace {

constexpr std::size_t kHugePageSize = std::size_t{2} << 20;

// Blocks of half a huge page or more are made of whole huge pages: the last
// one, zeroed at its first touch like the others, costs less than the
// hundreds of small-page faults it replaces.
std::size_t mappedSize(std::size_t size) {
    return size >= kHugePageSize / 2 ? (size + kHugePageSize - 1) & ~(kHugePageSize - 1) : size;
}

}  // namespace

HugeBlock::HugeBlock(HugeBlock&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

HugeBlock& HugeBlock::operator=(HugeBlock&& other) noexcept {
    if (this != &other) {
        reset();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

HugeBlock::~HugeBlock() {
    reset();
}

void HugeBlock::reset() {
    if (data_ != nullptr) {
        // munmap can only fail for a range that was never mapped; nothing to recover.
        [[maybe_unused]] const int rc = munmap(data_, size_);
    }
    data_ = nullptr;
    size_ = 0;
}

HugeBlock HugeBlock::make(std::size_t size) {
    HugeBlock block;
    if (size == 0 || size > std::numeric_limits<std::size_t>::max() - 2 * kHugePageSize) {
        return block;
    }
    const std::size_t mapped = mappedSize(size);
    const std::size_t align = mapped % kHugePageSize == 0 ? kHugePageSize : 0;
    void* p =
        mmap(nullptr, mapped + align, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) {
        return block;
    }
    auto* start = static_cast<std::uint8_t*>(p);
    if (align != 0) {
        const auto address = reinterpret_cast<std::uintptr_t>(p);
        const std::size_t head = ((address + align - 1) & ~(align - 1)) - address;
        // Trimming a mapping of our own only fails for a bad range: the
        // block then merely keeps more address space than it uses.
        if (head != 0) {
            [[maybe_unused]] const int rc = munmap(start, head);
        }
        if (align - head != 0) {
            [[maybe_unused]] const int rc = munmap(start + head + mapped, align - head);
        }
        start += head;
        // Only advice: on failure the block is still good, just backed otherwise.
        [[maybe_unused]] const int advised = madvise(start, mapped, MADV_HUGEPAGE);
    }
    block.data_ = start;
    block.size_ = mapped;
    return block;
}

}  // namespace vrs
