// SPDX-License-Identifier: MIT
// Where the encoders take their pixels from: one row at a time, as three
// planes of 8-bit samples (red, green, blue). Row 0 is the top of the picture.
// Rows may be asked for in any order and more than once.
#pragma once

#include <cstdint>

#include "decode/image.h"

namespace vrs {

struct RgbRow {
    const std::uint8_t* red = nullptr;
    const std::uint8_t* green = nullptr;
    const std::uint8_t* blue = nullptr;
};

class RowSource {
  public:
    virtual ~RowSource() = default;
    virtual std::int64_t width() const = 0;
    virtual std::int64_t height() const = 0;
    // Row y, 0 <= y < height(). The pointers stay valid until the next call.
    // False when the row cannot be had; the encoder then gives up.
    virtual bool row(std::int64_t y, RgbRow* out) = 0;
    // Row y read ahead of the encoding to look at the picture (the PNG writer
    // counts its colours this way). A progress count leaves these reads out.
    virtual bool scanRow(std::int64_t y, RgbRow* out) { return row(y, out); }
    // True for a source that makes its rows from the colours the encoder is
    // given beforehand (EncodeOptions::pngColours): the PNG writer then asks
    // indexRow() instead of row().
    virtual bool indexed() const { return false; }
    // Row y as one index a pixel into those colours; the pointer stays valid
    // until the next call. False when the row cannot be had.
    virtual bool indexRow(std::int64_t /*y*/, const std::uint8_t** /*out*/) { return false; }
};

// The rows of a planar bitmap, read in place.
class BitmapRowSource final : public RowSource {
  public:
    explicit BitmapRowSource(const PlanarBitmap& bitmap) : bitmap_(bitmap) {}
    std::int64_t width() const override { return bitmap_.width(); }
    std::int64_t height() const override { return bitmap_.height(); }
    bool row(std::int64_t y, RgbRow* out) override;

  private:
    const PlanarBitmap& bitmap_;
};

// Interleaves `width` pixels of a row into 3 bytes per pixel (decode_rows.cpp,
// with the other row routines).
void interleaveRgb(const RgbRow& row, std::int64_t width, std::uint8_t* out);
void interleaveBgr(const RgbRow& row, std::int64_t width, std::uint8_t* out);

}  // namespace vrs
