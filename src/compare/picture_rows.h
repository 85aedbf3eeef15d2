// SPDX-License-Identifier: MIT
// One of the two pictures compared, and its rows read in order in the
// compared form: a capture's rows from its file, a PNG file's (decoded on
// a thread of its own, a few rows ahead), or a decoded picture's planes
// (the viewer's full pictures).
#pragma once

#include <cstdint>
#include <memory>

#include "compare/read_problem.h"
#include "decode/file_rows.h"
#include "decode/planar_bitmap.h"

namespace vrs {

struct PictureSource {
    enum class Kind { Capture, Png, Bitmap };
    Kind kind = Kind::Capture;
    PixelRows capture;                     // Capture: rows inspectVirtualScreen accepted
    FileBytes png;                         // Png: the file's bytes
    std::uint64_t pngSize = UINT64_MAX;    // Png: its length, UINT64_MAX for a stream
    const PlanarBitmap* bitmap = nullptr;  // Bitmap: kept alive by the caller

    static PictureSource ofCapture(const PixelRows& rows) {
        PictureSource s;
        s.capture = rows;
        return s;
    }
    static PictureSource ofPng(const FileBytes& bytes, std::uint64_t size) {
        PictureSource s;
        s.kind = Kind::Png;
        s.png = bytes;
        s.pngSize = size;
        return s;
    }
    static PictureSource ofBitmap(const PlanarBitmap& bitmap) {
        PictureSource s;
        s.kind = Kind::Bitmap;
        s.bitmap = &bitmap;
        return s;
    }
};

// Rows of a picture, asked for in increasing order, each at most once.
class PictureRows {
  public:
    // The five rows asked for last stay valid.
    static constexpr int kKept = 5;

    virtual ~PictureRows() = default;
    // Reads what the size needs (a PNG's header); false on a failure.
    virtual bool open() = 0;
    virtual std::int64_t width() const = 0;
    virtual std::int64_t height() const = 0;
    // Row y in the compared form, or null on a failure.
    virtual const std::uint8_t* row(std::int64_t y) = 0;
    const ReadFailure& failure() const { return failure_; }

  protected:
    ReadFailure failure_;
};

// Null only when memory is short.
std::unique_ptr<PictureRows> makePictureRows(const PictureSource& source);

}  // namespace vrs
