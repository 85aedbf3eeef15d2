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

std::int64_t ViewSampler::viewRowFor(std::int64_t y) {
    const auto vy = static_cast<std::int64_t>(static_cast<double>(y) * scale_);
    if (vy < viewHeight_ && vy != lastViewRow_) {
        lastViewRow_ = vy;
        return vy;
    }
    return -1;
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

}  // namespace vrs
