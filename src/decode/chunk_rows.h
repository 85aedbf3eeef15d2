// SPDX-License-Identifier: MIT
// The source rows of a decode, a chunk of rows at a time. Rows in memory are
// used where they lie. Rows of a file that has a descriptor are read with
// pread into a buffer of the reader's own, reused for every chunk: copying
// from the page cache costs a fraction of mapping the file a page at a time,
// and a file that shrinks shows as a short read.
#pragma once

#include <cstdint>

#include "decode/decode_pass.h"
#include "platform/huge_block.h"

namespace vrs {

class ChunkRows {
  public:
    enum class Fetched {
        Read,     // the rows are in the buffer
        InPlace,  // the rows are to be read where they lie, in memory that may be a mapping
        Short,    // the file no longer holds them
    };

    explicit ChunkRows(const DecodeSource& source) : source_(source) {}

    // Makes rows [rows.first, rows.end) available through row(). Where the
    // buffer cannot be had the rows are read in place.
    Fetched fetch(RowRange rows);
    // Row y of the rows last fetched.
    const std::uint8_t* row(std::int64_t y) const {
        return inBuffer_ ? buffer_.data() + (y - held_.first) * spacing_ : source_.row(y);
    }

  private:
    const DecodeSource& source_;
    HugeBlock buffer_;
    RowRange held_;
    std::int64_t spacing_ = 0;  // bytes from one row's start to the next one's in the buffer
    bool inBuffer_ = false;
};

}  // namespace vrs
