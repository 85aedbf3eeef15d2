// SPDX-License-Identifier: MIT
#include "view/crop_slot.h"

#include <algorithm>
#include <new>

namespace {

// Rows cut between two looks at the cancel flag.
constexpr std::int64_t kBandRows = 64;

}  // namespace

void CropSlot::cut(const vrs::PlanarBitmap& bitmap) {
    if (box_.empty()) {
        return;
    }
    try {
        pixels_.resize(static_cast<std::size_t>(box_.width) *
                       static_cast<std::size_t>(box_.height));
    } catch (const std::bad_alloc&) {
        pixels_.clear();
        return;
    }
    for (std::int64_t row = 0; row < box_.height; row += kBandRows) {
        if (cancelled_.load(std::memory_order_relaxed)) {
            pixels_.clear();
            return;
        }
        const vrs::PixelBlock band{box_.left, box_.top + row, box_.width,
                                   std::min(kBandRows, box_.height - row)};
        vrs::copyToRgb32(bitmap, band, pixels_.data() + static_cast<std::size_t>(row * box_.width),
                         static_cast<std::size_t>(box_.width));
    }
}
