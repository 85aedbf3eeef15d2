// SPDX-License-Identifier: MIT
#include "rows_into.h"

#include <algorithm>
#include <cstddef>

#include "decode/file_row_source.h"

namespace vrs::python {
namespace {

// keepGoing is asked after about this many bytes of result.
constexpr std::int64_t kBytesBetweenChecks = std::int64_t{4} << 20;

std::int64_t rowsBetweenChecks(std::int64_t width) {
    return std::max<std::int64_t>(kBytesBetweenChecks / std::max<std::int64_t>(3 * width, 1), 1);
}

// `step`: rows between two questions to keepGoing.
template <typename Source>
RowsResult copyRows(Source& source, std::int64_t first, std::int64_t count, std::int64_t step,
                    std::uint8_t* out, const KeepGoing& keepGoing) {
    const std::int64_t width = source.width();
    const auto rowBytes = static_cast<std::size_t>(3 * width);
    for (std::int64_t done = 0; done < count; ++done) {
        if (done % step == 0 && done > 0 && !keepGoing()) {
            return RowsResult::Stopped;
        }
        RgbRow row;
        if (!source.row(first + done, &row)) {
            return source.fileChanged() ? RowsResult::Changed : RowsResult::NoMemory;
        }
        interleaveRgb(row, width, out + static_cast<std::size_t>(done) * rowBytes);
    }
    return RowsResult::Done;
}

}  // namespace

PictureSize pictureSize(const PixelRows& rows, bool view) {
    if (!view) {
        return {rows.layout.width, rows.layout.height};
    }
    const FileRowSource source(rows, true);
    return {source.width(), source.height()};
}

PictureSize thumbnailSize(const PixelRows& rows, std::int64_t maxSide) {
    const ThumbnailRowSource source(rows, maxSide);
    return {source.width(), source.height()};
}

RowsResult readRows(const PixelRows& rows, bool view, std::int64_t first, std::int64_t count,
                    std::uint8_t* out, const KeepGoing& keepGoing) {
    FileRowSource source(rows, view);
    if (!source.valid()) {
        return RowsResult::NoMemory;
    }
    return copyRows(source, first, count, rowsBetweenChecks(source.width()), out, keepGoing);
}

RowsResult readThumbnail(const PixelRows& rows, PictureSize size, std::uint8_t* out,
                         const KeepGoing& keepGoing) {
    ThumbnailRowSource source(rows, size.width, size.height);
    if (!source.valid()) {
        return RowsResult::NoMemory;
    }
    // Each row of a thumbnail sums a band of the file's rows: asked after each.
    return copyRows(source, 0, size.height, 1, out, keepGoing);
}

}  // namespace vrs::python
