// SPDX-License-Identifier: MIT
#include "decode/decode_pass.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>

#include "decode/chunk_rows.h"
#include "decode/row_sharing.h"
#include "decode/view_sampler.h"
#include "platform/mapped_read_guard.h"
#include "platform/page_advice.h"

namespace vrs {
namespace {

struct PlaneSet {
    std::uint8_t* planes[5] = {};
    std::int64_t bytesPerRow = 0;

    explicit PlaneSet(const PlanarBitmap& bitmap) : bytesPerRow(bitmap.bytesPerRow()) {
        bitmap.getBitmapDataPlanes(planes);
    }
    bool empty() const { return planes[0] == nullptr; }
    std::uint8_t* row(int plane, std::int64_t y) const { return planes[plane] + y * bytesPerRow; }
};

// The planes share one block, so the rows' memory is one range of it: from
// the first row of the first plane to the last sample of the last plane.
bool backPlaneRows(const DecodeSource& source, const PlaneSet& full, RowRange rows) {
    if (rows.empty()) {
        return true;
    }
    std::uint8_t* const first = full.row(0, rows.first);
    std::uint8_t* const last = full.row(PlanarBitmap::kPlanes - 1, rows.end - 1);
    const auto used = static_cast<std::size_t>(last - first + source.layout.width);
    if (!backForWrite(first, used)) {
        return false;
    }
    if (source.fd >= 0) {
        return true;  // the rows are read into a buffer, not from the mapping
    }
    const std::uint8_t* const firstRead = source.row(rows.first);
    const std::uint8_t* const lastRead = source.row(rows.end - 1);
    const auto read =
        static_cast<std::size_t>(lastRead - firstRead + source.layout.rowPixelBytes());
    return backForRead(firstRead, read);
}

// Everything one thread needs to decode rows: the images, and a sampler and
// a source reader of its own, whose buffers are not shared.
struct RowDecoder {
    const DecodeSource& source;
    const PlaneSet& full;
    const PlaneSet& view;
    ViewSampler sampler;
    DecodeRow decodeRow;
    ChunkRows chunk{source};

    // Another decoder of the same rows, with buffers of its own.
    RowDecoder helper() const { return {source, full, view, sampler, decodeRow}; }

    void decode(RowRange rows) {
        for (std::int64_t y = rows.first; y < rows.end; ++y) {
            decode(y);
        }
    }

    // The rows, or false when the file under them has shrunk: a short read,
    // or a read of the mapping past its end, which stops the decode there
    // instead of ending the process. Every frame below holds only pointers
    // and numbers.
    bool decodeGuarded(RowRange rows) {
        switch (chunk.fetch(rows)) {
            case ChunkRows::Fetched::Read:
                decode(rows);
                return true;
            case ChunkRows::Fetched::Short:
                return false;
            case ChunkRows::Fetched::InPlace:
                break;
        }
        auto work = [this, rows] { decode(rows); };
        return readMapped(source.row(0), source.rowsLength(), work);
    }

    // The same, after having the kernel back the rows' memory in one call
    // instead of one fault per page written: several times cheaper for
    // memory the process has never touched. Where the kernel cannot, the
    // decode takes the faults as before.
    bool backAndDecode(RowRange rows) {
        [[maybe_unused]] const bool backed = backPlaneRows(source, full, rows);
        return decodeGuarded(rows);
    }

    // Source row y into the full image and, if it feeds one, into its view row.
    void decode(std::int64_t y) {
        const std::uint8_t* sourceRow = chunk.row(y);
        std::uint8_t* const fullRow[3] = {full.row(0, y), full.row(1, y), full.row(2, y)};
        decodeRow(sourceRow, source.layout.width, fullRow[0], fullRow[1], fullRow[2]);
        std::memset(full.row(3, y), 255, static_cast<std::size_t>(source.layout.width));
        const std::int64_t vy = sampler.viewRowFor(y);
        if (vy >= 0 && !view.empty()) {
            // The view's alpha is already 255 from its fill.
            std::uint8_t* const viewRow[3] = {view.row(0, vy), view.row(1, vy), view.row(2, vy)};
            sampleView(sourceRow, fullRow, viewRow);
        }
    }

    // A copy of the full image's row when nothing is scaled, else the
    // sampled source pixels decoded by the same rule.
    void sampleView(const std::uint8_t* sourceRow, std::uint8_t* const fullRow[3],
                    std::uint8_t* const viewRow[3]) {
        if (sampler.copies()) {
            for (int c = 0; c < 3; ++c) {
                sampler.sampleRow(fullRow[c], viewRow[c]);
            }
            return;
        }
        decodeRow(sampler.gatherPixels(sourceRow,
                                       static_cast<std::size_t>(source.layout.bytesPerPixel())),
                  sampler.columns(), viewRow[0], viewRow[1], viewRow[2]);
    }
};

// This thread decodes rows from the top, the helper (if any) from the
// bottom, until they meet. A 16-bit decode counts its progress in row order:
// this thread counts its own rows after each chunk (the progress window may
// run the event loop, which must not happen while a read is guarded), and
// the helper's rows once the helper has stopped. A 32-bit decode reports none.
bool decodeShared(RowDecoder& decoder, DecodeProgress* progress, bool helped) {
    const std::int64_t height = decoder.source.layout.height;
    RowDecoder helper = decoder.helper();
    std::atomic<bool> changed{false};
    std::int64_t counted = 0;
    auto countTo = [progress, &counted](std::int64_t end) {
        for (; progress != nullptr && counted < end; ++counted) {
            progress->afterRow(counted);
        }
    };
    {
        // Leaving the scope leaves the helper nothing more and waits for it.
        RowSharing sharing(
            height, RowSharing::chunkRows(decoder.source.layout.width),
            [&helper, &changed](RowRange rows) {
                if (!helper.backAndDecode(rows)) {
                    changed = true;
                }
                return !changed;
            },
            helped);
        for (RowRange rows = sharing.takeTop(); !rows.empty() && !changed;
             rows = sharing.takeTop()) {
            if (!decoder.backAndDecode(rows)) {
                changed = true;
                break;
            }
            countTo(rows.end);
        }
    }
    if (changed) {
        return false;
    }
    countTo(height);
    return true;
}

}  // namespace

bool backRows(const DecodeSource& source, const PlanarBitmap& fullBitmap, RowRange rows) {
    return backPlaneRows(source, PlaneSet(fullBitmap), rows);
}

bool decodePass(const DecodeSource& source, const PlanarBitmap& fullBitmap,
                const PlanarBitmap& viewBitmap, DecodeProgress& progress) {
    const PlaneSet full(fullBitmap);
    if (!rowsDrawn(source.layout) || full.empty()) {
        // Rows not drawn cost nothing one by one; an empty picture has nothing to decode.
        return true;
    }
    const DecodeRow decodeRow = rowDecoderFor(source.layout.depth);
    const PlaneSet view(viewBitmap);
    const std::int64_t width = source.layout.width;
    RowDecoder decoder{source, full, view,
                       ViewSampler(viewSizeFor(width, source.layout.height), width), decodeRow};
    const bool helped = RowSharing::worthwhile(source.layout.width, source.layout.height,
                                               std::thread::hardware_concurrency());
    return decodeShared(decoder, source.layout.depth == 16 ? &progress : nullptr, helped);
}

}  // namespace vrs
