// SPDX-License-Identifier: MIT
#include "compare/diff_picture.h"

#include <algorithm>
#include <new>

#include "platform/vectorise.h"

namespace vrs {
namespace {

constexpr std::uint32_t keyOf(const std::uint8_t rgb[3]) {
    return (std::uint32_t{rgb[0]} << 16) | (std::uint32_t{rgb[1]} << 8) | rgb[2];
}

constexpr std::uint8_t kBlack[3] = {0, 0, 0};
constexpr std::uint8_t kWhite[3] = {255, 255, 255};
// The darkest grey, index 0; the changed and the outline colour come after
// the greys. A mask has black, then the changed colour.
constexpr std::uint8_t kDarkest = fadedGrey(kBlack);
constexpr std::uint8_t kGreys = 64;
static_assert(fadedGrey(kWhite) - kDarkest + 1 == kGreys);
constexpr std::uint8_t kChangedIndex = kGreys;
constexpr std::uint8_t kOutlineIndex = kGreys + 1;
constexpr std::uint8_t kMaskChanged = 1;

// The greys of a row, a loop the vectoriser makes four times faster.
VRS_VECTORISE void paintGreys(const std::uint8_t* __restrict row, std::int64_t width,
                              std::uint8_t* __restrict indices) {
    for (std::int64_t x = 0; x < width; ++x) {
        indices[x] = static_cast<std::uint8_t>(fadedGrey(row + 4 * x) - kDarkest);
    }
}

}  // namespace

std::vector<std::uint32_t> diffColours(bool mask) {
    if (mask) {
        return {0, keyOf(DiffColours::kChanged)};
    }
    std::vector<std::uint32_t> colours;
    for (std::uint32_t i = 0; i < kGreys; ++i) {
        colours.push_back((kDarkest + i) * 0x010101U);
    }
    colours.push_back(keyOf(DiffColours::kChanged));
    colours.push_back(keyOf(DiffColours::kOutline));
    return colours;
}

void paintDiffRow(const std::uint8_t* row, std::int64_t width, const std::vector<PixelRun>& changed,
                  bool mask, std::uint8_t* indices) {
    if (mask) {
        std::fill(indices, indices + width, std::uint8_t{0});
    } else {
        paintGreys(row, width, indices);
    }
    const std::uint8_t changedIndex = mask ? kMaskChanged : kChangedIndex;
    for (const PixelRun& run : changed) {
        std::fill(indices + run.x0, indices + run.x1, changedIndex);
    }
}

DiffPicture::DiffPicture(const PictureSource& a, const PictureSource& b,
                         const CompareOptions& options, std::vector<PixelBox> regions, bool mask)
    : a_(makePictureRows(a)), b_(makePictureRows(b)), options_(options), mask_(mask) {
    if (!mask) {
        outlines_ = std::move(regions);
    }
}

DiffPicture::~DiffPicture() = default;

bool DiffPicture::open() {
    if (!a_ || !b_) {
        failureA_.problem = ReadProblem::OutOfMemory;
        return false;
    }
    const bool openA = a_->open();
    const bool openB = b_->open();
    failureA_ = a_->failure();
    failureB_ = b_->failure();
    if (!openA || !openB) {
        return false;
    }
    const std::int64_t w = width();
    const std::int64_t h = height();
    for (PixelBox& box : outlines_) {
        box = {std::max<std::int64_t>(box.x0 - 1, 0), std::max<std::int64_t>(box.y0 - 1, 0),
               std::min(box.x1 + 1, w), std::min(box.y1 + 1, h)};
    }
    std::sort(outlines_.begin(), outlines_.end(),
              [](const PixelBox& l, const PixelBox& r) { return l.y0 < r.y0; });
    try {
        comparer_ = std::make_unique<RowComparer>(w, h, options_);
        indices_.resize(static_cast<std::size_t>(w));
        planes_.resize(static_cast<std::size_t>(3 * w));
        const std::vector<std::uint32_t> colours = diffColours(mask_);
        for (std::size_t i = 0; i < colours.size(); ++i) {
            for (int c = 0; c < 3; ++c) {
                palette_[c][i] = static_cast<std::uint8_t>(colours[i] >> (16 - 8 * c));
            }
        }
    } catch (const std::bad_alloc&) {
        failureA_.problem = ReadProblem::OutOfMemory;
        return false;
    }
    return true;
}

// The top-left area both pictures share: all of both when their sizes agree.
std::int64_t DiffPicture::width() const {
    return a_ && b_ ? std::min(a_->width(), b_->width()) : 0;
}

std::int64_t DiffPicture::height() const {
    return a_ && b_ ? std::min(a_->height(), b_->height()) : 0;
}

bool DiffPicture::read(std::int64_t upTo) {
    for (; read_ < upTo; ++read_) {
        keptA_[read_ % 8] = a_->row(read_);
        keptB_[read_ % 8] = b_->row(read_);
        if (keptA_[read_ % 8] == nullptr || keptB_[read_ % 8] == nullptr) {
            failureA_ = a_->failure();
            failureB_ = b_->failure();
            return false;
        }
    }
    return true;
}

// Draws the outlines that cross row y over what is not a changed pixel.
void DiffPicture::outline(std::int64_t y) {
    while (nextOutline_ < outlines_.size() && outlines_[nextOutline_].y0 <= y) {
        crossing_.push_back(outlines_[nextOutline_++]);
    }
    std::erase_if(crossing_, [y](const PixelBox& box) { return box.y1 <= y; });
    std::uint8_t* indices = indices_.data();
    const auto paint = [indices](std::int64_t x) {
        if (indices[x] != kChangedIndex) {
            indices[x] = kOutlineIndex;
        }
    };
    for (const PixelBox& box : crossing_) {
        if (y == box.y0 || y == box.y1 - 1) {
            for (std::int64_t x = box.x0; x < box.x1; ++x) {
                paint(x);
            }
        } else {
            paint(box.x0);
            paint(box.x1 - 1);
        }
    }
}

// Paints row y into indices_.
bool DiffPicture::paint(std::int64_t y) {
    if (!comparer_ || y != nextRow_) {
        return false;  // rows come once each, in order
    }
    ++nextRow_;
    const std::int64_t h = height();
    const std::int64_t need = comparer_->needsNeighbours() ? std::min(y + 3, h) : y + 1;
    if (!read(need)) {
        return false;
    }
    RowWindow wa;
    RowWindow wb;
    for (std::int64_t dy = -2; dy <= 2; ++dy) {
        if (y + dy >= 0 && y + dy < h) {
            wa.rows[dy + 2] = keptA_[(y + dy) % 8];
            wb.rows[dy + 2] = keptB_[(y + dy) % 8];
        }
    }
    runs_.clear();
    DiffCounts counts;
    comparer_->compareRow(y, wa, wb, &runs_, &counts);
    paintDiffRow(wb.row(0), width(), runs_, mask_, indices_.data());
    if (!mask_) {
        outline(y);
    }
    return true;
}

bool DiffPicture::indexRow(std::int64_t y, const std::uint8_t** out) {
    if (!paint(y)) {
        return false;
    }
    *out = indices_.data();
    return true;
}

bool DiffPicture::row(std::int64_t y, RgbRow* out) {
    if (!paint(y)) {
        return false;
    }
    const std::int64_t w = width();
    std::uint8_t* planes[3] = {planes_.data(), planes_.data() + w, planes_.data() + 2 * w};
    for (int c = 0; c < 3; ++c) {
        const std::uint8_t* colour = palette_[c];
        for (std::int64_t x = 0; x < w; ++x) {
            planes[c][x] = colour[indices_[static_cast<std::size_t>(x)]];
        }
    }
    *out = {planes[0], planes[1], planes[2]};
    return true;
}

}  // namespace vrs
