// SPDX-License-Identifier: MIT
#include "decode/box_average.h"

#include <algorithm>
#include <new>

#include "platform/vectorise.h"

namespace vrs {
namespace {

// Bytes summed in 32 bits at a time (255 of them a run stay below 2^32).
constexpr std::int64_t kRun = std::int64_t{1} << 16;

VRS_VECTORISE std::uint32_t sumRun(const std::uint8_t* bytes, std::int64_t n) {
    std::uint32_t sum = 0;
    for (std::int64_t i = 0; i < n; ++i) {
        sum += bytes[i];
    }
    return sum;
}

std::uint64_t sumBytes(const std::uint8_t* bytes, std::int64_t n) {
    std::uint64_t sum = 0;
    for (std::int64_t at = 0; at < n; at += kRun) {
        sum += sumRun(bytes + at, std::min(kRun, n - at));
    }
    return sum;
}

}  // namespace

bool BoxAverage::prepare(std::int64_t sourceWidth, std::int64_t sourceHeight, std::int64_t width,
                         std::int64_t height) {
    width_ = 0;
    height_ = 0;
    if (width < 1 || height < 1 || width > sourceWidth || height > sourceHeight ||
        width > kLongestSide || height > kLongestSide) {
        return false;
    }
    try {
        firstColumn_.clear();
        for (std::int64_t x = 0; x <= width; ++x) {
            firstColumn_.push_back(boxStart(x, sourceWidth, width));
        }
        sums_.assign(static_cast<std::size_t>(3 * width), 0);
        out_.assign(static_cast<std::size_t>(3 * width), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    sourceHeight_ = sourceHeight;
    width_ = width;
    height_ = height;
    return true;
}

void BoxAverage::add(std::int64_t first, std::int64_t count, const std::uint8_t* red,
                     const std::uint8_t* green, const std::uint8_t* blue) {
    const std::uint8_t* planes[3] = {red, green, blue};
    const std::int64_t end = first + count;
    // The column whose box holds the span's first pixel.
    auto column = static_cast<std::int64_t>(
        std::upper_bound(firstColumn_.begin(), firstColumn_.end() - 1, first) -
        firstColumn_.begin() - 1);
    for (; column < width_; ++column) {
        const auto i = static_cast<std::size_t>(column);
        if (firstColumn_[i] >= end) {
            break;
        }
        const std::int64_t from = std::max(first, firstColumn_[i]);
        const std::int64_t to = std::min(end, firstColumn_[i + 1]);
        for (int c = 0; c < 3; ++c) {
            sums_[static_cast<std::size_t>(c * width_) + i] +=
                sumBytes(planes[c] + (from - first), to - from);
        }
    }
}

RgbRow BoxAverage::take(std::int64_t y) {
    const std::int64_t rows = top(y + 1) - top(y);
    for (std::int64_t x = 0; x < width_; ++x) {
        const auto i = static_cast<std::size_t>(x);
        const auto covered =
            static_cast<std::uint64_t>((firstColumn_[i + 1] - firstColumn_[i]) * rows);
        for (int c = 0; c < 3; ++c) {
            const std::size_t at = static_cast<std::size_t>(c * width_) + i;
            out_[at] = static_cast<std::uint8_t>((sums_[at] + covered / 2) / covered);
        }
    }
    clear();
    const std::uint8_t* planes = out_.data();
    return {planes, planes + width_, planes + 2 * width_};
}

void BoxAverage::clear() {
    std::fill(sums_.begin(), sums_.end(), 0);
}

}  // namespace vrs
