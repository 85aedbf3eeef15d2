// SPDX-License-Identifier: MIT
#include "decode/planar_bitmap.h"

#include <sys/mman.h>

#include <cstdint>
#include <limits>
#include <new>

namespace vrs {
namespace {

constexpr std::int64_t kPageSize = 4096;
constexpr std::size_t kHugePageSize = std::size_t{2} << 20;

// A plane as large as a huge page starts on a 2 MiB boundary, so that the
// kernel can back it with huge pages where it is asked to.
std::size_t alignmentFor(std::size_t size) {
    return size >= kHugePageSize ? kHugePageSize : 0;
}

// Only advice: on failure the plane is still good, just backed otherwise.
void advise(void* p, std::size_t size, int advice) {
    [[maybe_unused]] const int advised = madvise(p, size, advice);
}

// Anonymous mappings come zeroed and are only backed where they are touched,
// which matters because three quarters of every plane row are never used.
// Where a row leaves whole pages unused, huge pages would back those too
// (four times the memory, all of it zeroed at the first touch), so such
// planes ask for small pages; in narrower ones every page is used anyway and
// huge pages take a fault per 2 MiB instead of one per 4 KiB.
std::uint8_t* mapPlane(std::size_t size, std::int64_t width) {
    const std::size_t align = alignmentFor(size);
    void* p =
        mmap(nullptr, size + align, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) {
        return nullptr;
    }
    auto* start = static_cast<std::uint8_t*>(p);
    if (align != 0) {
        const auto address = reinterpret_cast<std::uintptr_t>(p);
        const std::size_t head = ((address + align - 1) & ~(align - 1)) - address;
        // Trimming a mapping of our own only fails for a bad range: the plane
        // is then merely larger.
        if (head != 0) {
            [[maybe_unused]] const int rc = munmap(start, head);
        }
        if (align - head != 0) {
            [[maybe_unused]] const int rc = munmap(start + head + size, align - head);
        }
        start += head;
    }
    advise(start, size,
           planarBytesPerRow(width) - width >= kPageSize ? MADV_NOHUGEPAGE : MADV_HUGEPAGE);
    return start;
}

void unmapPlane(std::uint8_t* p, std::size_t size) {
    if (p != nullptr && size != 0) {
        // munmap can only fail for a range that was never mapped; nothing to recover.
        [[maybe_unused]] const int rc = munmap(p, size);
    }
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
    for (std::uint8_t* p : planes_) {
        unmapPlane(p, planeSize_);
    }
}

void PlanarBitmap::willWriteWholePlanes() const {
    for (std::uint8_t* p : planes_) {
        if (p != nullptr) {
            advise(p, planeSize_, MADV_HUGEPAGE);
        }
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
    for (auto& plane : bitmap->planes_) {
        plane = mapPlane(planeSize, width);
        if (plane == nullptr) {
            return nullptr;  // the destructor unmaps the planes already made
        }
    }
    return bitmap;
}

}  // namespace vrs
