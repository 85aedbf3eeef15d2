// SPDX-License-Identifier: MIT
#include "decode/planar_bitmap.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <new>

namespace vrs {
namespace {

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

PlanarBitmap::~PlanarBitmap() = default;

void PlanarBitmap::fillPlanes(std::uint8_t value) const {
    if (!block_.empty()) {
        std::memset(block_.data(), value, block_.size());
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
    // Anonymous memory comes zeroed and is backed where it is first touched.
    bitmap->block_ =
        HugeBlock::make(planeSize + static_cast<std::size_t>(offset) * (PlanarBitmap::kPlanes - 1));
    if (bitmap->block_.empty()) {
        return nullptr;
    }
    for (std::size_t i = 0; i < PlanarBitmap::kPlanes; ++i) {
        bitmap->planes_[i] = bitmap->block_.data() + static_cast<std::size_t>(offset) * i;
    }
    return bitmap;
}

}  // namespace vrs
