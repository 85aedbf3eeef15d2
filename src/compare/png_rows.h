// SPDX-License-Identifier: MIT
// A PNG file's rows, in order, in the compared form (red, green, blue,
// alpha; palettes, greys and 16-bit samples widened or scaled as libpng
// does). A picture that is not interlaced is read a row at a time; an
// interlaced one has to be decoded whole first. The file is read in large
// blocks, and a file that changes while it is read is caught like a
// capture. A picture larger than the file's bytes could hold, even
// compressed as tightly as deflate allows, is refused before any row is
// decoded.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "compare/read_problem.h"
#include "decode/file_rows.h"

namespace vrs {

class PngRows {
  public:
    // `size`: the file's length, or UINT64_MAX for a stream read in order.
    PngRows(const FileBytes& bytes, std::uint64_t size);
    ~PngRows();
    PngRows(const PngRows&) = delete;
    PngRows& operator=(const PngRows&) = delete;

    // Reads the header; false when the picture cannot be read (problem()).
    bool open();
    std::int64_t width() const { return width_; }
    std::int64_t height() const { return height_; }

    // Decodes the next row into `out` (4 x width bytes); false on a problem.
    bool nextRow(std::uint8_t* out);

    ReadProblem problem() const { return problem_; }
    const std::string& detail() const { return detail_; }

    struct State;  // libpng's structures and the file's bytes

  private:
    bool fail(ReadProblem problem);

    std::unique_ptr<State> state_;
    std::int64_t width_ = 0;
    std::int64_t height_ = 0;
    std::int64_t next_ = 0;
    ReadProblem problem_ = ReadProblem::None;
    std::string detail_;
};

}  // namespace vrs
