// SPDX-License-Identifier: MIT
#include "cli/progress_bar.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace vrs::cli {
namespace {

constexpr int kBarWidth = 30;

}  // namespace

ProgressBar::ProgressBar(bool visible, std::size_t files)
    : visible_(visible), files_(files), slots_(new Slot[files]) {
    if (visible_) {
        thread_ = std::thread([this] { run(); });
    }
}

ProgressBar::~ProgressBar() {
    if (thread_.joinable()) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    std::lock_guard<std::mutex> lock(mutex_);
    clear();
}

void ProgressBar::start(std::size_t index, std::int64_t units) {
    slots_[index].units.store(std::max<std::int64_t>(1, units), std::memory_order_relaxed);
}

void ProgressBar::finish(std::size_t index) {
    slots_[index].finished.store(true, std::memory_order_relaxed);
}

void ProgressBar::printLine(const std::string& line) {
    std::lock_guard<std::mutex> lock(mutex_);
    clear();
    // A message that cannot be written has nowhere else to go.
    [[maybe_unused]] const int rc = std::fprintf(stderr, "%s\n", line.c_str());
}

void ProgressBar::run() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopping_) {
        draw();
        wake_.wait_for(lock, std::chrono::milliseconds(100), [this] { return stopping_; });
    }
}

void ProgressBar::draw() {
    double sum = 0;
    std::size_t finished = 0;
    for (std::size_t i = 0; i < files_; ++i) {
        const Slot& s = slots_[i];
        if (s.finished.load(std::memory_order_relaxed)) {
            ++finished;
            sum += 1;
        } else if (const std::int64_t units = s.units.load(std::memory_order_relaxed); units > 0) {
            sum += std::min(1.0, static_cast<double>(s.done.load(std::memory_order_relaxed)) /
                                     static_cast<double>(units));
        }
    }
    const double fraction = files_ == 0 ? 1.0 : sum / static_cast<double>(files_);
    const int filled = static_cast<int>(fraction * kBarWidth);
    char bar[kBarWidth + 1];
    for (int i = 0; i < kBarWidth; ++i) {
        bar[i] = i < filled ? '#' : '.';
    }
    bar[kBarWidth] = '\0';
    [[maybe_unused]] const int rc =
        std::fprintf(stderr, "\r[%s] %3d%%  %zu/%zu files", bar, static_cast<int>(fraction * 100),
                     finished, files_);
    std::fflush(stderr);
    drawn_ = true;
}

void ProgressBar::clear() {
    if (drawn_) {
        [[maybe_unused]] const int rc = std::fprintf(stderr, "\r\033[K");
        drawn_ = false;
    }
}

}  // namespace vrs::cli
