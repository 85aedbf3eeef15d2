// SPDX-License-Identifier: MIT
#include "decode/file_row_source.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "decode/decoder.h"
#include "decode/view_sampler.h"
#include "platform/vectorise.h"

namespace vrs {
namespace {

// File pixels decoded at a time for a thumbnail: a few hundred kilobytes.
constexpr std::int64_t kSpanPixels = std::int64_t{1} << 16;

// The sum of n bytes, n at most kSpanPixels (so 32 bits hold it).
VRS_VECTORISE std::uint64_t sumBytes(const std::uint8_t* bytes, std::int64_t n) {
    std::uint32_t sum = 0;
    for (std::int64_t i = 0; i < n; ++i) {
        sum += bytes[i];
    }
    return sum;
}

}  // namespace

FileRowSource::FileRowSource(const PixelRows& rows, bool view) : file_(rows) {
    try {
        width_ = rows.layout.width;
        if (!view) {
            height_ = rows.layout.height;
            file_.prepare(true);
            decoded_.resize(static_cast<std::size_t>(3 * rows.layout.width));
            valid_ = true;
            return;
        }
        const ViewSize size = viewSizeFor(rows.layout.width, rows.layout.height);
        sampler_ = std::make_unique<ViewSampler>(size, rows.layout.width);
        for (std::int64_t y = 0; y < rows.layout.height; ++y) {
            if (sampler_->viewRowFor(y) >= 0) {
                sourceRow_.push_back(y);
            }
        }
        width_ = size.width;
        height_ = static_cast<std::int64_t>(sourceRow_.size());
        if (sampler_->copies()) {
            file_.prepare(true);
        } else {
            file_.prepareColumns(sampler_->columns());
        }
        // The decoder's view starts white; columns no source pixel feeds, and
        // every pixel of a depth it does not decode, stay white.
        const std::int64_t planeWidth = sampler_->copies() ? rows.layout.width : size.width;
        decoded_.assign(static_cast<std::size_t>(3 * planeWidth), 255);
        valid_ = true;
    } catch (const std::bad_alloc&) {
        valid_ = false;
    }
}

FileRowSource::~FileRowSource() = default;

bool FileRowSource::row(std::int64_t y, RgbRow* out) {
    if (!valid_ || y < 0 || y >= height_) {
        return false;
    }
    if (sampler_) {
        return viewRow(y, out);
    }
    const std::int64_t w = width_;
    std::uint8_t* planes = decoded_.data();
    if (!file_.decode(y, planes, planes + w, planes + 2 * w)) {
        return false;
    }
    *out = {planes, planes + w, planes + 2 * w};
    return true;
}

bool FileRowSource::viewRow(std::int64_t y, RgbRow* out) {
    const PixelRows& rows = file_.geometry();
    // The planes are as wide as the file's row when the view copies it.
    const std::int64_t w = sampler_->copies() ? rows.layout.width : width_;
    std::uint8_t* planes = decoded_.data();
    *out = {planes, planes + w, planes + 2 * w};
    if (rowDecoderFor(rows.layout.depth) == nullptr) {
        return true;  // the white the view starts with
    }
    const std::int64_t from = sourceRow_[static_cast<std::size_t>(y)];
    if (sampler_->copies()) {
        return file_.decode(from, planes, planes + w, planes + 2 * w);
    }
    return file_.decodeColumns(from, sampler_->sourceColumns(), sampler_->columns(), planes,
                               planes + w, planes + 2 * w);
}

ThumbnailRowSource::ThumbnailRowSource(const PixelRows& rows, std::int64_t maxSide) : file_(rows) {
    const std::int64_t longer = std::max(rows.layout.width, rows.layout.height);
    if (rows.layout.width <= 0 || rows.layout.height <= 0 || maxSide <= 0) {
        return;
    }
    if (longer <= maxSide) {
        width_ = rows.layout.width;
        height_ = rows.layout.height;
    } else {
        const double scale = static_cast<double>(maxSide) / static_cast<double>(longer);
        width_ = std::clamp<std::int64_t>(
            std::llround(static_cast<double>(rows.layout.width) * scale), 1, maxSide);
        height_ = std::clamp<std::int64_t>(
            std::llround(static_cast<double>(rows.layout.height) * scale), 1, maxSide);
    }
    makeBuffers();
}

ThumbnailRowSource::ThumbnailRowSource(const PixelRows& rows, std::int64_t width,
                                       std::int64_t height)
    : file_(rows) {
    // Sides up to 2^24 keep boxStart's products below 2^63.
    constexpr std::int64_t kLongestSide = std::int64_t{1} << 24;
    if (width < 1 || height < 1 || width > rows.layout.width || height > rows.layout.height ||
        width > kLongestSide || height > kLongestSide) {
        return;
    }
    width_ = width;
    height_ = height;
    makeBuffers();
}

void ThumbnailRowSource::makeBuffers() {
    const PixelRows& rows = file_.geometry();
    try {
        for (std::int64_t x = 0; x <= width_; ++x) {
            firstColumn_.push_back(boxStart(x, rows.layout.width, width_));
        }
        span_ = std::min(rows.layout.width, kSpanPixels);
        file_.prepareSpans(span_);
        decoded_.resize(static_cast<std::size_t>(3 * span_));
        sums_.resize(static_cast<std::size_t>(3 * width_));
        out_.resize(static_cast<std::size_t>(3 * width_));
        valid_ = true;
    } catch (const std::bad_alloc&) {
        valid_ = false;
    }
}

std::int64_t ThumbnailRowSource::boxStart(std::int64_t i, std::int64_t n, std::int64_t out) {
    // i <= out <= 2^24 and n < 2^32 (header fields), so i * n stays below
    // 2^63 for any thumbnail size vrstool or a plugin asks for.
    return i * n / out;
}

// Adds file row fileRow's pixels to the sums of the columns that cover them.
bool ThumbnailRowSource::addRow(std::int64_t fileRow) {
    const std::int64_t width = file_.geometry().layout.width;
    std::uint8_t* planes = decoded_.data();
    std::int64_t column = 0;
    for (std::int64_t first = 0; first < width; first += span_) {
        const std::int64_t count = std::min(span_, width - first);
        if (!file_.decodeSpan(fileRow, first, count, planes, planes + span_, planes + 2 * span_)) {
            return false;
        }
        const std::int64_t end = first + count;
        while (column < width_ && firstColumn_[static_cast<std::size_t>(column)] < end) {
            const std::int64_t from =
                std::max(first, firstColumn_[static_cast<std::size_t>(column)]);
            const std::int64_t to =
                std::min(end, firstColumn_[static_cast<std::size_t>(column) + 1]);
            for (int c = 0; c < 3; ++c) {
                sums_[static_cast<std::size_t>(c * width_ + column)] +=
                    sumBytes(planes + c * span_ + (from - first), to - from);
            }
            if (firstColumn_[static_cast<std::size_t>(column) + 1] > end) {
                break;  // the column goes on in the next span
            }
            ++column;
        }
    }
    return true;
}

bool ThumbnailRowSource::row(std::int64_t y, RgbRow* out) {
    if (!valid_ || y < 0 || y >= height_) {
        return false;
    }
    const std::int64_t fileHeight = file_.geometry().layout.height;
    const std::int64_t top = boxStart(y, fileHeight, height_);
    const std::int64_t bottom = boxStart(y + 1, fileHeight, height_);
    std::fill(sums_.begin(), sums_.end(), 0);
    for (std::int64_t fileRow = top; fileRow < bottom; ++fileRow) {
        if (!addRow(fileRow)) {
            return false;
        }
    }
    for (std::int64_t x = 0; x < width_; ++x) {
        const auto covered =
            static_cast<std::uint64_t>((firstColumn_[static_cast<std::size_t>(x) + 1] -
                                        firstColumn_[static_cast<std::size_t>(x)]) *
                                       (bottom - top));
        for (int c = 0; c < 3; ++c) {
            const auto i = static_cast<std::size_t>(c * width_ + x);
            out_[i] = static_cast<std::uint8_t>((sums_[i] + covered / 2) / covered);
        }
    }
    std::uint8_t* planes = out_.data();
    *out = {planes, planes + width_, planes + 2 * width_};
    return true;
}

}  // namespace vrs
