#include "export/file_row_source.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "decode/decoder.h"
#include "decode/view_sampler.h"

namespace vrs {

FileRowSource::FileRowSource(const PixelRows& rows, bool view) : file_(rows) {
    try {
        width_ = rows.width;
        decoded_.resize(static_cast<std::size_t>(3 * rows.width));
        if (!view) {
            height_ = rows.height;
            valid_ = true;
            return;
        }
        const ViewSize size = viewSizeFor(rows.width, rows.height);
        sampler_ = std::make_unique<ViewSampler>(size, rows.width);
        for (std::int64_t y = 0; y < rows.height; ++y) {
            if (sampler_->viewRowFor(y) >= 0) {
                sourceRow_.push_back(y);
            }
        }
        width_ = size.width;
        height_ = static_cast<std::int64_t>(sourceRow_.size());
        sampled_.resize(static_cast<std::size_t>(3 * size.width));
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
    const std::int64_t w = file_.geometry().width;
    std::uint8_t* planes = decoded_.data();
    file_.decode(sampler_ ? sourceRow_[static_cast<std::size_t>(y)] : y, planes, planes + w,
                 planes + 2 * w);
    if (sampler_) {
        std::uint8_t* view = sampled_.data();
        for (int c = 0; c < 3; ++c) {
            sampler_->sampleRow(planes + c * w, view + c * width_);
        }
        planes = view;
        *out = {planes, planes + width_, planes + 2 * width_};
        return true;
    }
    *out = {planes, planes + w, planes + 2 * w};
    return true;
}

ThumbnailRowSource::ThumbnailRowSource(const PixelRows& rows, std::int64_t maxSide) : file_(rows) {
    const std::int64_t longer = std::max(rows.width, rows.height);
    if (rows.width <= 0 || rows.height <= 0 || maxSide <= 0) {
        return;
    }
    if (longer <= maxSide) {
        width_ = rows.width;
        height_ = rows.height;
    } else {
        const double scale = static_cast<double>(maxSide) / static_cast<double>(longer);
        width_ = std::clamp<std::int64_t>(std::llround(static_cast<double>(rows.width) * scale), 1,
                                          maxSide);
        height_ = std::clamp<std::int64_t>(std::llround(static_cast<double>(rows.height) * scale),
                                           1, maxSide);
    }
    try {
        for (std::int64_t x = 0; x < width_; ++x) {
            sourceColumn_.push_back(centre(x, rows.width, width_));
        }
        decoded_.resize(static_cast<std::size_t>(3 * rows.width));
        out_.resize(static_cast<std::size_t>(3 * width_));
        valid_ = true;
    } catch (const std::bad_alloc&) {
        valid_ = false;
    }
}

std::int64_t ThumbnailRowSource::centre(std::int64_t i, std::int64_t n, std::int64_t out) {
    // i < out <= maxSide and n < 2^32 (header fields), so (2i + 1) * n stays
    // far below 2^63 for any thumbnail size vrstool accepts.
    return std::min(n - 1, (2 * i + 1) * n / (2 * out));
}

bool ThumbnailRowSource::row(std::int64_t y, RgbRow* out) {
    if (!valid_ || y < 0 || y >= height_) {
        return false;
    }
    const std::int64_t w = file_.geometry().width;
    std::uint8_t* planes = decoded_.data();
    file_.decode(centre(y, file_.geometry().height, height_), planes, planes + w, planes + 2 * w);
    for (int c = 0; c < 3; ++c) {
        const std::uint8_t* from = planes + c * w;
        std::uint8_t* to = out_.data() + c * width_;
        for (std::int64_t x = 0; x < width_; ++x) {
            to[x] = from[sourceColumn_[static_cast<std::size_t>(x)]];
        }
    }
    *out = {out_.data(), out_.data() + width_, out_.data() + 2 * width_};
    return true;
}

}  // namespace vrs
