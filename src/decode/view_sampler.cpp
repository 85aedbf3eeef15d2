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

void ViewSampler::sampleRgb(const std::uint8_t* const full[3], std::uint8_t* const view[3]) const {
    const auto columns = static_cast<std::size_t>(columns_);
    if (copies_) {
        for (int i = 0; i < 3; ++i) {
            std::memcpy(view[i], full[i], columns);
        }
        return;
    }
    const std::uint8_t* __restrict red = full[0];
    const std::uint8_t* __restrict green = full[1];
    const std::uint8_t* __restrict blue = full[2];
    std::uint8_t* __restrict viewRed = view[0];
    std::uint8_t* __restrict viewGreen = view[1];
    std::uint8_t* __restrict viewBlue = view[2];
    for (std::size_t k = 0; k < columns; ++k) {
        const std::int64_t x = sourceColumn_[k];
        viewRed[k] = red[x];
        viewGreen[k] = green[x];
        viewBlue[k] = blue[x];
    }
}

}  // namespace vrs
