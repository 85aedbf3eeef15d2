// SPDX-License-Identifier: MIT
// A capture's rows decoded into memory of the caller's, three bytes (red,
// green, blue) per pixel, rows one after the other: a part of the full
// picture or of the view image, or a thumbnail. Work and memory follow the
// rows asked for: the file's rows are read with the core's streaming
// readers, a block at a time, and only those the result needs.
#pragma once

#include <cstdint>
#include <functional>

#include "decode/file_rows.h"

namespace vrs::python {

enum class RowsResult {
    Done,
    Changed,   // the file changed (or shrank) while it was read
    NoMemory,  // a buffer of the readers could not be had
    Stopped,   // keepGoing said no
};

// Asked between blocks of rows, on the calling thread; false stops the work.
using KeepGoing = std::function<bool()>;

struct PictureSize {
    std::int64_t width = 0;
    std::int64_t height = 0;
};

// The size of the full picture or of the view image.
PictureSize pictureSize(const PixelRows& rows, bool view);
// The size of the thumbnail whose longer side is at most maxSide (never
// enlarged): the one `vrstool thumbnail -s maxSide` makes.
PictureSize thumbnailSize(const PixelRows& rows, std::int64_t maxSide);

// Rows [first, first + count) of the full picture or the view image, each
// of pictureSize(rows, view).width pixels, into `out`.
RowsResult readRows(const PixelRows& rows, bool view, std::int64_t first, std::int64_t count,
                    std::uint8_t* out, const KeepGoing& keepGoing);

// The box-averaged picture of exactly `size` (each side from 1 to the
// picture's own) into `out`.
RowsResult readThumbnail(const PixelRows& rows, PictureSize size, std::uint8_t* out,
                         const KeepGoing& keepGoing);

}  // namespace vrs::python
