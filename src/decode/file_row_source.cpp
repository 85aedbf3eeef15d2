// SPDX-License-Identifier: MIT
#include "decode/file_row_source.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "decode/decoder.h"
#include "decode/view_sampler.h"

namespace vrs {
namespace {

// File pixels decoded at a time for a thumbnail: a few hundred kilobytes.
constexpr std::int64_t kSpanPixels = std::int64_t{1} << 16;

// The first of `height` file rows whose view row is vy or later (height when
// there is none).
std::int64_t firstRowMappedTo(const ViewSampler& sampler, std::int64_t vy, std::int64_t height) {
    std::int64_t low = 0;
    std::int64_t high = height;
    while (low < high) {
        const std::int64_t mid = low + (high - low) / 2;
        if (sampler.viewRowAt(mid) >= vy) {
            high = mid;
        } else {
            low = mid + 1;
        }
    }
    return low;
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
        // The first file row of each view row, found without visiting the
        // file's rows: the view row a file row maps to never decreases.
        for (std::int64_t vy = 0; vy < size.height; ++vy) {
            const std::int64_t y = firstRowMappedTo(*sampler_, vy, rows.layout.height);
            if (y < rows.layout.height && sampler_->viewRowFor(y) == vy) {
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
    if (!rowsDrawn(rows.layout)) {
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
        makeBuffers(rows.layout.width, rows.layout.height);
        return;
    }
    const double scale = static_cast<double>(maxSide) / static_cast<double>(longer);
    makeBuffers(std::clamp<std::int64_t>(
                    std::llround(static_cast<double>(rows.layout.width) * scale), 1, maxSide),
                std::clamp<std::int64_t>(
                    std::llround(static_cast<double>(rows.layout.height) * scale), 1, maxSide));
}

ThumbnailRowSource::ThumbnailRowSource(const PixelRows& rows, std::int64_t width,
                                       std::int64_t height)
    : file_(rows) {
    makeBuffers(width, height);
}

void ThumbnailRowSource::makeBuffers(std::int64_t width, std::int64_t height) {
    const PixelRows& rows = file_.geometry();
    if (!box_.prepare(rows.layout.width, rows.layout.height, width, height)) {
        return;
    }
    try {
        span_ = std::min(rows.layout.width, kSpanPixels);
        file_.prepareSpans(span_);
        decoded_.resize(static_cast<std::size_t>(3 * span_));
    } catch (const std::bad_alloc&) {
        return;
    }
    width_ = width;
    height_ = height;
    valid_ = true;
}

// Adds file row fileRow's pixels to the sums of the boxes that cover them.
bool ThumbnailRowSource::addRow(std::int64_t fileRow) {
    const std::int64_t width = file_.geometry().layout.width;
    std::uint8_t* planes = decoded_.data();
    for (std::int64_t first = 0; first < width; first += span_) {
        const std::int64_t count = std::min(span_, width - first);
        if (!file_.decodeSpan(fileRow, first, count, planes, planes + span_, planes + 2 * span_)) {
            return false;
        }
        box_.add(first, count, planes, planes + span_, planes + 2 * span_);
    }
    return true;
}

bool ThumbnailRowSource::row(std::int64_t y, RgbRow* out) {
    if (!valid_ || y < 0 || y >= height_) {
        return false;
    }
    box_.clear();
    if (rowsDrawn(file_.geometry().layout)) {
        // Rows in a hole of the file add nothing to the sums: they are black.
        const std::int64_t end = box_.top(y + 1);
        for (std::int64_t fileRow = box_.top(y); fileRow < end; ++fileRow) {
            if (!file_.firstRowWithData(fileRow, end, &fileRow)) {
                return false;
            }
            if (fileRow < end && !addRow(fileRow)) {
                return false;
            }
        }
    }
    // Rows the decoder does not draw are black: the sums stay zero.
    *out = box_.take(y);
    return true;
}

}  // namespace vrs
