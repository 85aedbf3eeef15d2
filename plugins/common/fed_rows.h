// SPDX-License-Identifier: MIT
// A virtual-screen file fed in pieces of any size, as a host's incremental
// loader receives it: the header is checked as soon as its bytes are in, the
// picture is made once the rows that have come justify its memory, and each
// row is decoded with the decoder's own row routines as soon as its bytes
// are there, never before (RowLayout::rowsWithin). Only the bytes of rows
// not yet decoded are kept; rows the decoder does not draw keep none and
// cost nothing one by one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "decode/decoder.h"
#include "decode/row_source.h"
#include "vrscreen/header.h"
#include "vrscreen/loader.h"

namespace vrs::plugin {

// What the host does with the picture.
class RowSink {
  public:
    virtual ~RowSink() = default;
    // The header has been read: the picture will be width x height. False
    // stops the load (the host wants only the size, or refuses it).
    virtual bool sized(std::int64_t width, std::int64_t height) = 0;
    // True once sized() when the picture the sink makes is smaller than the
    // file's, at a size its host asked for: its memory is the host's choice,
    // so it is made once the first row's bytes are in, and rows are decoded
    // and let go as they come instead of waiting for enough of them to back
    // a full-size picture.
    virtual bool shrinks() const { return false; }
    // Makes the picture (width x height are the file's); false when memory
    // is short.
    virtual bool prepare(std::int64_t width, std::int64_t height) = 0;
    // Row y of the picture, decoded.
    virtual void row(std::int64_t y, const RgbRow& row) = 0;
    // Rows [first, first + count) of the picture are black (rows the decoder
    // does not draw): told once for them all, never row by row.
    virtual void black(std::int64_t first, std::int64_t count) = 0;
    // Rows [first, first + count) of the file have been handed to row()
    // since the last call; called once per fed piece that completes a row.
    virtual void updated(std::int64_t first, std::int64_t count) = 0;
};

class FedRows {
  public:
    enum class Status { Ok, Refused, Stopped, OutOfMemory };

    explicit FedRows(RowSink& sink) : sink_(sink) {}

    // The next `length` bytes of the file. Anything but Ok ends the load;
    // a refusal's cause is in info().
    Status feed(const std::uint8_t* data, std::size_t length);
    // The file has ended: Ok when every row came, else Refused.
    Status finish();
    const VirtualScreenInfo& info() const { return info_; }

  private:
    Status headerDone();
    Status takeRows(const std::uint8_t* data, std::size_t length);
    bool mayPrepare() const;
    void decodeRows(const std::uint8_t* data, std::size_t length, std::int64_t ready,
                    std::size_t* used);

    RowSink& sink_;
    std::uint8_t header_[kHeaderSize] = {};
    std::uint64_t received_ = 0;  // every byte fed, the header's included
    VirtualScreenInfo info_;
    DecodeRow decodeRow_ = nullptr;
    std::vector<std::uint8_t> pending_;  // bytes from the start of row next_ on
    std::vector<std::uint8_t> planes_;   // three planes of one row
    std::uint64_t skip_ = 0;             // padding of the last row decoded still to come
    std::int64_t next_ = 0;              // the next row to decode
    bool prepared_ = false;
    Status status_ = Status::Ok;
};

}  // namespace vrs::plugin
