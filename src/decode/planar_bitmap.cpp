// SPDX-License-Identifier: MIT
#include "decode/planar_bitmap.h"

#include <sys/mman.h>

#include <limits>
#include <new>

namespace vrs {
namespace {

constexpr std::int64_t kPageSize = 4096;

// Anonymous mappings come zeroed and are only backed where they are touched,
// which matters because three quarters of every plane row are never used.
// Where a row leaves whole pages unused, transparent huge pages would back
// those too (four times the memory, all of it zeroed at the first touch), so
// such planes ask for small pages; narrower ones keep the system's choice.
std::uint8_t* mapPlane(std::size_t size, std::int64_t width) {
    void* p = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) {
        return nullptr;
    }
    if (planarBytesPerRow(width) - width >= kPageSize) {
        // Only advice: on failure the plane is still good, just maybe larger.
        [[maybe_unused]] const int advised = madvise(p, size, MADV_NOHUGEPAGE);
    }
    return static_cast<std::uint8_t*>(p);
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
