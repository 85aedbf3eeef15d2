// SPDX-License-Identifier: MIT
// The picture of a difference, made row by row as both pictures are read
// again: the second picture in a light grey, the pixels that count as
// different in red, each region outlined in blue one pixel outside its box
// (kept inside the picture at its edges). As a mask: the differing pixels in
// red, everything else black, which the PNG writer makes transparent.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "compare/compare_types.h"
#include "compare/picture_rows.h"
#include "compare/row_comparer.h"
#include "decode/row_source.h"

namespace vrs {

// The colours of a difference's picture.
struct DiffColours {
    static constexpr std::uint8_t kChanged[3] = {255, 0, 0};
    static constexpr std::uint8_t kOutline[3] = {0, 90, 255};
};

// The grey an unchanged pixel of `rgb` (at least three bytes) is shown in:
// its brightness, faded three quarters of the way to white.
constexpr std::uint8_t fadedGrey(const std::uint8_t* rgb) {
    const std::uint32_t luma = (77u * rgb[0] + 150u * rgb[1] + 29u * rgb[2]) >> 8;
    return static_cast<std::uint8_t>(255 - (((255 - luma) * 64) >> 8));
}

// Every colour a difference's picture can have, as 0xRRGGBB, in the order of
// its indices (DiffPicture::indexRow): the 64 greys fadedGrey gives, darkest
// first, then the changed and the outline colour; as a mask, black and the
// changed colour.
std::vector<std::uint32_t> diffColours(bool mask);

// Paints one row of the difference's picture as indices into
// diffColours(mask): `row` is the second picture's row in the compared form,
// `changed` the runs that count.
void paintDiffRow(const std::uint8_t* row, std::int64_t width, const std::vector<PixelRun>& changed,
                  bool mask, std::uint8_t* indices);

// Rows of the difference's picture for an encoder that reads each row once,
// in order (the PNG writer with EncodeOptions::pngSinglePass), as colours or
// as indices into diffColours().
class DiffPicture final : public RowSource {
  public:
    DiffPicture(const PictureSource& a, const PictureSource& b, const CompareOptions& options,
                std::vector<PixelBox> regions, bool mask);
    ~DiffPicture() override;
    // Opens both pictures again; false on a failure (failureA(), failureB()).
    // Pictures of different sizes give the picture of the top-left area
    // both share.
    bool open();
    std::int64_t width() const override;
    std::int64_t height() const override;
    bool row(std::int64_t y, RgbRow* out) override;
    bool indexed() const override { return true; }
    bool indexRow(std::int64_t y, const std::uint8_t** out) override;
    const ReadFailure& failureA() const { return failureA_; }
    const ReadFailure& failureB() const { return failureB_; }

  private:
    bool paint(std::int64_t y);
    void outline(std::int64_t y);
    bool read(std::int64_t upTo);

    std::unique_ptr<PictureRows> a_;
    std::unique_ptr<PictureRows> b_;
    CompareOptions options_;
    std::unique_ptr<RowComparer> comparer_;
    std::vector<PixelBox> outlines_;  // regions' outline boxes, by their top row
    std::size_t nextOutline_ = 0;
    std::vector<PixelBox> crossing_;  // outlines crossing the row painted
    bool mask_;
    std::int64_t read_ = 0;     // rows read of each picture
    std::int64_t nextRow_ = 0;  // the row asked for next
    const std::uint8_t* keptA_[8] = {};
    const std::uint8_t* keptB_[8] = {};
    std::vector<PixelRun> runs_;
    std::vector<std::uint8_t> indices_;  // the row painted
    std::uint8_t palette_[3][256] = {};  // red, green and blue of each index
    std::vector<std::uint8_t> planes_;
    ReadFailure failureA_;
    ReadFailure failureB_;
};

}  // namespace vrs
