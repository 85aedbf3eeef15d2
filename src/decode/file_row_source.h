// Row sources over a virtual-screen file's pixel rows, never holding more
// than a block of rows: the full picture, or the view image (sampled exactly
// as the decoder samples it, white where the decoder decodes nothing), or a
// thumbnail. The samplers read only the pixels they take. row() is false
// when the file has changed under it (fileChanged() then says so).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

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

// A picture whose longer side is at most maxSide (never enlarged): each pixel
// takes the file pixel under its centre, so only those pixels of one file
// row are read per thumbnail row and flat areas keep their exact colours.
// Memory follows the thumbnail, not the file: a row is read whole only when
// it is small.
class ThumbnailRowSource final : public RowSource {
  public:
    ThumbnailRowSource(const PixelRows& rows, std::int64_t maxSide);
    bool valid() const { return valid_; }
    std::int64_t width() const override { return width_; }
    std::int64_t height() const override { return height_; }
    bool row(std::int64_t y, RgbRow* out) override;
    bool fileChanged() const { return file_.changed(); }

  private:
    // The file pixel under the centre of thumbnail pixel i of out, along n.
    static std::int64_t centre(std::int64_t i, std::int64_t n, std::int64_t out);

    FileRows file_;
    std::int64_t width_ = 0;
    std::int64_t height_ = 0;
    std::vector<std::int64_t> sourceColumn_;  // the file column of each thumbnail column
    std::vector<std::uint8_t> out_;           // three planes of the thumbnail row
    bool valid_ = false;
};

}  // namespace vrs
