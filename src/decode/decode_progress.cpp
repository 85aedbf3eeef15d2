// SPDX-License-Identifier: MIT
#include "decode/decode_progress.h"

#include <utility>

namespace vrs {

DecodeProgress::DecodeProgress(Host& host, std::int64_t* counter, std::int64_t width,
                               std::int64_t height, std::string title)
    : host_(host),
      counter_(counter),
      width_(width),
      height_(height),
      start_(host.tickCount()),
      total_(static_cast<float>(width * height)),
      title_(std::move(title)) {}

void DecodeProgress::afterRow(std::int64_t y) {
    // A picture without columns has no pixels to count (and 0 / 0 has no step).
    if (counter_ == nullptr || *counter_ == 0 || width_ <= 0) {
        return;
    }
    done_ += width_;
    const float fraction = static_cast<float>(done_) / total_;
    const int step = static_cast<int>(static_cast<double>(fraction) * kSteps);
    if (step == lastStep_) {
        return;
    }
    lastStep_ = step;
    if (window_) {
        show(step);
        return;
    }
    // A clock that went backwards gives a negative age: still too young.
    const auto age = static_cast<std::int32_t>(host_.tickCount() - start_);
    if (age < kQuietTicks) {
        return;
    }
    if (y < height_ / 2) {
        window_ = host_.makeProgressWindow();
        if (window_) {
            window_->setTitle(title_);
            window_->setMaxValue(kSteps);
            show(step);
        }
        return;  // without a window, the next step change tries again
    }
    *counter_ = 0;  // too late to be worth a window: none for this decode
}

void DecodeProgress::show(int step) {
    window_->setDoubleValue(step);
    host_.runEventLoop(0.000001);
    ++*counter_;
}

}  // namespace vrs
