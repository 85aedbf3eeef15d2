// SPDX-License-Identifier: MIT
#include "decode/planar_bitmap.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <new>

namespace vrs {
namespace {

constexpr std::size_t kHugePageSize = std::size_t{2} << 20;

// Blocks of half a huge page or more are made of whole huge pages: the last
// one, zeroed at its first touch like the others, costs less than the
// hundreds of small-page faults it replaces.
std::size_t mappedSize(std::size_t size) {
    return size >= kHugePageSize / 2 ? (size + kHugePageSize - 1) & ~(kHugePageSize - 1) : size;
}

// Anonymous mappings come zeroed and are backed where they are first
// touched. A block of whole huge pages starts on a 2 MiB boundary and asks
// for them; the kernel backs it with small pages where it has none to give.
std::uint8_t* mapBlock(std::size_t size) {
    const std::size_t align = size % kHugePageSize == 0 ? kHugePageSize : 0;
    void* p =
        mmap(nullptr, size + align, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) {
        return nullptr;
    }
    auto* start = static_cast<std::uint8_t*>(p);
    if (align == 0) {
        return start;
    }
    const auto address = reinterpret_cast<std::uintptr_t>(p);
    const std::size_t head = ((address + align - 1) & ~(align - 1)) - address;
    // Trimming a mapping of our own only fails for a bad range: the block
    // is then merely larger.
    if (head != 0) {
        [[maybe_unused]] const int rc = munmap(start, head);
    }
    if (align - head != 0) {
        [[maybe_unused]] const int rc = munmap(start + head + size, align - head);
    }
    start += head;
    // Only advice: on failure the block is still good, just backed otherwise.
    [[maybe_unused]] const int advised = madvise(start, size, MADV_HUGEPAGE);
    return start;
}

// The distance between plane starts: a multiple of 16 where one fits, so
// that plane rows stay aligned as they would be in planes of their own.
// Three offsets and a row of samples always fit in a row, since bytesPerRow
// exceeds 4 x width.
std::int64_t planeOffsetFor(std::int64_t width, std::int64_t bytesPerRow) {
    const std::int64_t aligned = (width + 15) & ~std::int64_t{15};
    return 3 * aligned + width <= bytesPerRow ? aligned : bytesPerRow / 4;
}

}  // namespace

std::int64_t planarBytesPerRow(std::int64_t width) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    if (width < 0 || width > (kMax - 16) / 4) {
        return -1;
    }
    return (4 * width + 16) & ~std::int64_t{15};
}

PlanarBitmap::~PlanarBitmap() {
    if (block_ != nullptr) {
        // munmap can only fail for a range that was never mapped; nothing to recover.
        [[maybe_unused]] const int rc = munmap(block_, blockSize_);
    }
}

void PlanarBitmap::fillPlanes(std::uint8_t value) const {
    if (block_ != nullptr) {
        std::memset(block_, value, blockSize_);
    }
}

void PlanarBitmap::getBitmapDataPlanes(std::uint8_t* planes[5]) const {
    for (std::size_t i = 0; i < kPlanes; ++i) {
        planes[i] = planes_[i];
    }
    planes[4] = nullptr;
}

std::shared_ptr<PlanarBitmap> MakeNewImageRep(std::int64_t width, std::int64_t height) {
    const std::int64_t bytesPerRow = planarBytesPerRow(width);
    if (bytesPerRow < 0 || height < 0) {
        return nullptr;
    }
    constexpr auto kMaxPlane =
        static_cast<std::uint64_t>(std::numeric_limits<std::ptrdiff_t>::max());
    const auto rows = static_cast<std::uint64_t>(height);
    const auto perRow = static_cast<std::uint64_t>(bytesPerRow);
    if (rows != 0 && perRow > kMaxPlane / rows / PlanarBitmap::kPlanes) {
        return nullptr;
    }
    std::shared_ptr<PlanarBitmap> bitmap;
    try {
        bitmap.reset(new PlanarBitmap());
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    bitmap->width_ = width;
    bitmap->height_ = height;
    bitmap->bytesPerRow_ = bytesPerRow;
    const std::size_t planeSize = (width == 0 || height == 0) ? 0 : rows * perRow;
    bitmap->planeSize_ = planeSize;
    if (planeSize == 0) {
        return bitmap;
    }
    const std::int64_t offset = planeOffsetFor(width, bytesPerRow);
    bitmap->planeOffset_ = offset;
    const std::size_t blockSize =
        mappedSize(planeSize + static_cast<std::size_t>(offset) * (PlanarBitmap::kPlanes - 1));
    bitmap->block_ = mapBlock(blockSize);
    if (bitmap->block_ == nullptr) {
        return nullptr;
    }
    bitmap->blockSize_ = blockSize;
    for (std::size_t i = 0; i < PlanarBitmap::kPlanes; ++i) {
        bitmap->planes_[i] = bitmap->block_ + static_cast<std::size_t>(offset) * i;
    }
    return bitmap;
}

}  // namespace vrs
