// SPDX-License-Identifier: MIT
#include "decode/view_sampler.h"

#include <cstring>

namespace vrs {

ViewSampler::ViewSampler(const ViewSize& view, std::int64_t width)
    : scale_(view.scale), viewHeight_(view.height) {
    // Walk the source columns as the per-pixel rule does: a column feeds the
    // next view pixel when x x s, truncated, is new and inside the view.
    std::int64_t last = -1;
    for (std::int64_t x = 0;
         x < width && columns_ < static_cast<std::int64_t>(sourceColumn_.size()); ++x) {
        const auto vx = static_cast<std::int64_t>(static_cast<double>(x) * scale_);
        if (vx != last && vx < view.width) {
            sourceColumn_[static_cast<std::size_t>(columns_++)] = x;
            last = vx;
        }
    }
    copies_ = columns_ == width;
}

std::int64_t ViewSampler::viewRowFor(std::int64_t y) const {
    // x s truncated never decreases as y grows, so "new" means "not the
    // previous row's": the answer needs no memory of earlier calls.
    const auto vy = static_cast<std::int64_t>(static_cast<double>(y) * scale_);
    if (vy >= viewHeight_ || y < 0) {
        return -1;
    }
    if (y > 0 && static_cast<std::int64_t>(static_cast<double>(y - 1) * scale_) == vy) {
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
