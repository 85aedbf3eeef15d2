// SPDX-License-Identifier: MIT
#include "rows_into.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <memory>
#include <new>
#include <thread>

#include "decode/file_row_source.h"
#include "decode/row_sharing.h"

namespace vrs::python {
namespace {

// keepGoing is asked after about this many bytes of result.
constexpr std::int64_t kBytesBetweenChecks = std::int64_t{4} << 20;

std::int64_t rowsBetweenChecks(std::int64_t width) {
    return std::max<std::int64_t>(kBytesBetweenChecks / std::max<std::int64_t>(3 * width, 1), 1);
}

// Rows [first, end) of `source` into `out`, which holds row `first` first.
template <typename Source>
RowsResult copyRows(Source& source, std::int64_t first, std::int64_t end, std::uint8_t* out) {
    const std::int64_t width = source.width();
    const auto rowBytes = static_cast<std::size_t>(3 * width);
    for (std::int64_t y = first; y < end; ++y) {
        RgbRow row;
        if (!source.row(y, &row)) {
            return source.fileChanged() ? RowsResult::Changed : RowsResult::NoMemory;
        }
        interleaveRgb(row, width, out + static_cast<std::size_t>(y - first) * rowBytes);
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

// This thread reads rows from the top, a helper thread with a reader of its
// own from the bottom, until they meet: the faults of a fresh array and the
// decoding are shared by two processors, as the viewer's decode shares them.
RowsResult readRows(const PixelRows& rows, bool view, std::int64_t first, std::int64_t count,
                    std::uint8_t* out, const KeepGoing& keepGoing) {
    FileRowSource top(rows, view);
    if (!top.valid()) {
        return RowsResult::NoMemory;
    }
    const std::int64_t width = top.width();
    const auto rowBytes = static_cast<std::size_t>(3 * width);
    std::unique_ptr<FileRowSource> bottom;
    if (RowSharing::worthwhile(width, count, std::thread::hardware_concurrency())) {
        try {
            bottom = std::make_unique<FileRowSource>(rows, view);
        } catch (const std::bad_alloc&) {
            // This thread reads every row.
        }
    }
    const bool helped = bottom != nullptr && bottom->valid();
    auto at = [out, rowBytes](RowRange r) {
        return out + static_cast<std::size_t>(r.first) * rowBytes;
    };
    std::atomic<RowsResult> result{RowsResult::Done};
    {
        // Leaving the scope leaves the helper nothing more and waits for it.
        RowSharing sharing(
            count, rowsBetweenChecks(width),
            [&bottom, &result, &at, first](RowRange r) {
                const RowsResult done = copyRows(*bottom, first + r.first, first + r.end, at(r));
                if (done != RowsResult::Done) {
                    result = done;
                }
                return result == RowsResult::Done;
            },
            helped);
        for (RowRange r = sharing.takeTop(); !r.empty() && result == RowsResult::Done;
             r = sharing.takeTop()) {
            const RowsResult done = copyRows(top, first + r.first, first + r.end, at(r));
            if (done != RowsResult::Done) {
                result = done;
            } else if (!keepGoing()) {
                result = RowsResult::Stopped;
            }
        }
    }
    return result;
}

RowsResult readThumbnail(const PixelRows& rows, PictureSize size, std::uint8_t* out,
                         const KeepGoing& keepGoing) {
    ThumbnailRowSource source(rows, size.width, size.height);
    if (!source.valid()) {
        return RowsResult::NoMemory;
    }
    // Each row of a thumbnail sums a band of the file's rows: keepGoing is
    // asked after each.
    const auto rowBytes = static_cast<std::size_t>(3 * size.width);
    for (std::int64_t y = 0; y < size.height; ++y) {
        const RowsResult done =
            copyRows(source, y, y + 1, out + static_cast<std::size_t>(y) * rowBytes);
        if (done != RowsResult::Done) {
            return done;
        }
        if (!keepGoing()) {
            return RowsResult::Stopped;
        }
    }
    return RowsResult::Done;
}

}  // namespace vrs::python
