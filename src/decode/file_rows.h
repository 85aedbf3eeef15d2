// SPDX-License-Identifier: MIT
// The pixel rows of a virtual-screen file, read and decoded with the
// decoder's own row routines. Rows are read with pread in blocks of about a
// megabyte, so a file that shrinks while it is read shows as a short read (a
// mapping would raise SIGBUS instead) and memory stays bounded whatever the
// file's size. Single pixels can be read too, for samplers that need a few
// columns of very wide rows. After each block (or wide row) is read, the
// file's stamp is compared with the one taken when it was opened, so a file
// rewritten in place is caught too, not only one that shrinks.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "decode/decoder.h"
#include "decode/row_layout.h"
#include "platform/file_stamp.h"

namespace vrs {

// Where a file's bytes come from: a regular file's descriptor, bytes in
// memory (standard input, read whole), or a reader of the caller's (an image
// plugin reading through its host's device). None is owned.
struct FileBytes {
    // Reads exactly `length` bytes at `offset` into `out`; false when they
    // are not there. Offsets only grow while rows are read in order.
    using ReadAt = bool (*)(void* context, std::uint64_t offset, void* out, std::size_t length);

    int fd = -1;
    const std::uint8_t* memory = nullptr;  // used when fd < 0 and readAt is null
    std::uint64_t size = 0;                // of memory
    ReadAt readAt = nullptr;               // used when fd < 0
    void* context = nullptr;               // for readAt
    // With readAt: a descriptor of the same file that can tell where its
    // data lies, and the offset in it of the bytes' first one; -1 for none.
    int extentFd = -1;
    std::uint64_t extentBase = 0;
    // The file as it was opened, before its first byte was read: a file
    // that no longer matches it has changed under the reader.
    std::optional<FileStamp> stamp{};

    // Exactly `length` bytes at `offset`; false when they are not there.
    bool read(std::uint64_t offset, void* out, std::size_t length) const;
    // False when the file is no longer as its stamp says (or cannot be asked).
    bool unchanged() const;
    // The extent of data at or after `offset`, as dataExtent (platform/
    // regular_file.h) tells it: bytes in memory, or a reader without a
    // descriptor, are data throughout.
    void dataExtent(std::uint64_t offset, std::uint64_t* start, std::uint64_t* end) const;
};

struct PixelRows {
    FileBytes bytes;
    RowLayout layout;
};

class FileRows {
  public:
    // The caller has checked (inspectVirtualScreen) that the header promises
    // rows the file held when it was opened.
    explicit FileRows(const PixelRows& rows)
        : rows_(rows), decodeRow_(rowDecoderFor(rows.layout.depth)) {}
    const PixelRows& geometry() const { return rows_; }

    // Makes the buffers; throws std::bad_alloc when memory is short.
    // `wholeRows`: decode() or pixelBytes() will be used, which need a whole
    // row at once. `blockBytes`: about how many bytes are read at a time when
    // rows are read in order (0: about a megabyte).
    void prepare(bool wholeRows, std::size_t blockBytes = 0);

    // Decodes row y into three planes of width bytes. A depth other than 16
    // or 32 has no pixels the decoder reads: the row is black. False when
    // the file no longer holds the row (changed() is then true).
    bool decode(std::int64_t y, std::uint8_t* red, std::uint8_t* green, std::uint8_t* blue);

    // Row y's pixel bytes as the file holds them (without the row's
    // padding), valid until the next read. The rows after it, up to row
    // `end` (excluded), are read in the same block as far as it holds them.
    // Null when the file no longer holds the row (changed() is then true).
    // Only for depths whose rows are decoded (rowDecoderFor is not null).
    const std::uint8_t* pixelBytes(std::int64_t y, std::int64_t end) {
        return rowData(y, std::max(y + 1, end));
    }

    // Decodes the `count` pixels of row y at `columns` (at most the count
    // given to prepareColumns) into three planes of count bytes, reading
    // only those pixels' bytes when rows are too wide for a block.
    bool decodeColumns(std::int64_t y, const std::int64_t* columns, std::int64_t count,
                       std::uint8_t* red, std::uint8_t* green, std::uint8_t* blue);
    void prepareColumns(std::int64_t count);

    // Decodes the `count` pixels of row y from column `first` on (count at
    // most the one given to prepareSpans) into three planes of count bytes;
    // rows wider than a block are read a span at a time.
    bool decodeSpan(std::int64_t y, std::int64_t first, std::int64_t count, std::uint8_t* red,
                    std::uint8_t* green, std::uint8_t* blue);
    void prepareSpans(std::int64_t count) { prepareColumns(count); }

    // The first row of [y, end) whose pixel bytes are not wholly in a hole
    // of the file (end when there is none): the rows passed over read as
    // zeros and decode to black, so a reader that averages rows need not
    // read them. For a layout the decoder draws. False when the file has
    // changed (changed() is then true).
    bool firstRowWithData(std::int64_t y, std::int64_t end, std::int64_t* out);

    // True once a read found the file shorter than when it was opened, or
    // no longer as it was.
    bool changed() const { return changed_; }

  private:
    std::size_t pixelBytes() const {
        return static_cast<std::size_t>(rows_.layout.bytesPerPixel());
    }
    std::size_t rowBytes() const;
    // Row y's bytes, read in (with the rows after it when reading in order).
    const std::uint8_t* rowData(std::int64_t y);
    // Row y's bytes, read in with the rows after it up to `end`.
    const std::uint8_t* rowData(std::int64_t y, std::int64_t end);
    // After a read: false (and changed() true) when the file has changed.
    bool stillSame();

    PixelRows rows_;
    DecodeRow decodeRow_;              // null for a depth whose rows are not decoded
    std::vector<std::uint8_t> block_;  // rows [blockFirst_, blockFirst_ + blockRows_)
    std::int64_t blockFirst_ = 0;
    std::int64_t blockRows_ = 0;
    std::int64_t spacing_ = 0;  // bytes from one row's start to the next one's in block_
    std::int64_t lastRow_ = -2;
    std::vector<std::uint8_t> packed_;  // pixels gathered for decodeColumns
    std::uint64_t dataStart_ = 0;       // the extent of data last found
    std::uint64_t dataEnd_ = 0;
    bool changed_ = false;
};

}  // namespace vrs
