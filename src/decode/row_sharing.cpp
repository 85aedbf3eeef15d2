// SPDX-License-Identifier: MIT
#include "decode/row_sharing.h"

#include <algorithm>
#include <utility>

namespace vrs {
namespace {

// Below this many pixels (32 MiB of plane rows), a thread costs more than it saves.
constexpr std::int64_t kWorthwhilePixels = std::int64_t{8} << 20;

// About this many bytes of plane rows make one chunk.
constexpr std::int64_t kChunkBytes = std::int64_t{1} << 20;

}  // namespace

RowSharing::RowSharing(std::int64_t rows, std::int64_t chunk, Work work, bool start)
    : chunk_(std::max<std::int64_t>(chunk, 1)),
      work_(std::move(work)),
      bottom_(std::max<std::int64_t>(rows, 0)) {
    if (!start || bottom_ == 0 || !work_) {
        return;
    }
    helper_.emplace(1, 1);
    if (helper_->workers() == 0) {
        helper_.reset();  // no thread to be had: the calling thread takes every row
        return;
    }
    helper_->submit([this](int) {
        run();
        return true;
    });
}

RowSharing::~RowSharing() {
    {
        const std::lock_guard<std::mutex> hold(mutex_);
        top_ = bottom_;
    }
    finish();
}

bool RowSharing::worthwhile(std::int64_t width, std::int64_t height, unsigned processors) {
    if (processors < 2 || width <= 0 || height <= 0) {
        return false;
    }
    return width >= kWorthwhilePixels || height >= (kWorthwhilePixels + width - 1) / width;
}

std::int64_t RowSharing::chunkRows(std::int64_t width) {
    if (width <= 0) {
        return 1;
    }
    return std::max<std::int64_t>(kChunkBytes / 4 / width, 1);
}

RowRange RowSharing::takeTop() {
    const std::lock_guard<std::mutex> hold(mutex_);
    const RowRange rows{top_, std::min(top_ + chunk_, bottom_)};
    top_ = std::max(top_, rows.end);
    return rows;
}

RowRange RowSharing::takeBottom() {
    const std::lock_guard<std::mutex> hold(mutex_);
    const RowRange rows{std::max(bottom_ - chunk_, top_), bottom_};
    bottom_ = std::min(bottom_, rows.first);
    return rows;
}

std::int64_t RowSharing::finish() {
    if (helper_) {
        helper_->collect();
        helper_.reset();
    }
    return helped_;
}

void RowSharing::run() {
    std::int64_t helped = 0;
    for (RowRange rows = takeBottom(); !rows.empty(); rows = takeBottom()) {
        helped += rows.end - rows.first;
        if (!work_(rows)) {
            break;
        }
    }
    helped_ = helped;
}

}  // namespace vrs
