// SPDX-License-Identifier: MIT
// Row sources over a virtual-screen file's pixel rows, never holding more
// than a block of rows: the full picture, or the view image (sampled exactly
// as the decoder samples it, white where the decoder decodes nothing), or a
// thumbnail. The samplers read only the pixels they take. row() is false
// when the file has changed under it (fileChanged() then says so).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "decode/box_average.h"
#include "decode/file_rows.h"
#include "decode/row_source.h"

namespace vrs {

class ViewSampler;

// Builds a source; valid() is false when memory for its row buffers is short.
class FileRowSource final : public RowSource {
  public:
    // view: rows and columns of the view image instead of the full picture.
    FileRowSource(const PixelRows& rows, bool view);
    ~FileRowSource() override;
    bool valid() const { return valid_; }
    std::int64_t width() const override { return width_; }
    std::int64_t height() const override { return height_; }
    bool row(std::int64_t y, RgbRow* out) override;
    bool fileChanged() const { return file_.changed(); }

  private:
    bool viewRow(std::int64_t y, RgbRow* out);

    FileRows file_;
    std::int64_t width_ = 0;
    std::int64_t height_ = 0;
    std::unique_ptr<ViewSampler> sampler_;  // view only
    std::vector<std::int64_t> sourceRow_;   // view only: the file row of each view row
    std::vector<std::uint8_t> decoded_;     // three planes of a row
    bool valid_ = false;
};

// A picture whose longer side is at most maxSide (never enlarged), shrunk by
// BoxAverage: each pixel is the mean of the file pixels it covers.
// Each file row is read once, in order, in spans: memory follows the
// thumbnail, not the file.
class ThumbnailRowSource final : public RowSource {
  public:
    ThumbnailRowSource(const PixelRows& rows, std::int64_t maxSide);
    // Exactly width x height, each from 1 to the file's own (a picture is
    // never enlarged): the scaled reads of image plugins.
    ThumbnailRowSource(const PixelRows& rows, std::int64_t width, std::int64_t height);
    bool valid() const { return valid_; }
    std::int64_t width() const override { return width_; }
    std::int64_t height() const override { return height_; }
    bool row(std::int64_t y, RgbRow* out) override;
    bool fileChanged() const { return file_.changed(); }

  private:
    void makeBuffers(std::int64_t width, std::int64_t height);
    bool addRow(std::int64_t fileRow);

    FileRows file_;
    BoxAverage box_;
    std::int64_t width_ = 0;
    std::int64_t height_ = 0;
    std::int64_t span_ = 0;              // file pixels decoded at a time
    std::vector<std::uint8_t> decoded_;  // three planes of a span
    bool valid_ = false;
};

}  // namespace vrs
