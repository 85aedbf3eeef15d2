// SPDX-License-Identifier: MIT
#include "decode/view_sampler.h"

#include <algorithm>
#include <cstring>

namespace vrs {

ViewSampler::ViewSampler(const ViewSize& view, std::int64_t width)
    : scale_(view.scale), viewHeight_(view.height) {
    // The per-pixel rule: source column x feeds view column x x s, truncated,
    // when it is the first column that maps there. x x s never decreases as
    // x grows, so each view column's first source column is found by a
    // binary search, without walking the source's width.
    const auto limit = std::min<std::int64_t>(view.width, sourceColumn_.size());
    for (std::int64_t vx = 0; vx < limit; ++vx) {
        std::int64_t low = 0;
        std::int64_t high = width;
        while (low < high) {
            const std::int64_t mid = low + (high - low) / 2;
            if (static_cast<std::int64_t>(static_cast<double>(mid) * scale_) >= vx) {
                high = mid;
            } else {
                low = mid + 1;
            }
        }
        if (low < width && static_cast<std::int64_t>(static_cast<double>(low) * scale_) == vx) {
            sourceColumn_[static_cast<std::size_t>(columns_++)] = low;
        }
    }
    copies_ = columns_ == width;
}

std::int64_t ViewSampler::viewRowFor(std::int64_t y) const {
    // x s truncated never decreases as y grows, so "new" means "not the
    // previous row's": the answer needs no memory of earlier calls.
    const std::int64_t vy = viewRowAt(y);
    if (vy >= viewHeight_ || y < 0) {
        return -1;
    }
    if (y > 0 && viewRowAt(y - 1) == vy) {
        return -1;
    }
    return vy;
}

void ViewSampler::sampleRow(const std::uint8_t* fullRow, std::uint8_t* viewRow) const {
    if (copies_) {
        std::memcpy(viewRow, fullRow, static_cast<std::size_t>(columns_));
        return;
    }
    for (std::int64_t k = 0; k < columns_; ++k) {
        viewRow[k] = fullRow[sourceColumn_[static_cast<std::size_t>(k)]];
    }
}

const std::uint8_t* ViewSampler::gatherPixels(const std::uint8_t* sourceRow,
                                              std::size_t pixelBytes) {
    const auto columns = static_cast<std::size_t>(columns_);
    std::uint8_t* out = packed_.data();
    if (pixelBytes == 4) {
        for (std::size_t k = 0; k < columns; ++k) {
            const auto x = static_cast<std::size_t>(sourceColumn_[k]);
            std::memcpy(out + 4 * k, sourceRow + 4 * x, 4);
        }
    } else {
        for (std::size_t k = 0; k < columns; ++k) {
            const auto x = static_cast<std::size_t>(sourceColumn_[k]);
            std::memcpy(out + 2 * k, sourceRow + 2 * x, 2);
        }
    }
    return out;
}

}  // namespace vrs
