// SPDX-License-Identifier: MIT
#include "fed_rows.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace vrs::plugin {

FedRows::Status FedRows::feed(const std::uint8_t* data, std::size_t length) {
    if (status_ != Status::Ok) {
        return status_;
    }
    const std::uint64_t before = received_;
    received_ += length;
    if (before < kHeaderSize) {
        const std::size_t take = std::min<std::size_t>(length, kHeaderSize - before);
        std::memcpy(header_ + before, data, take);
        data += take;
        length -= take;
        if (before + take < kHeaderSize) {
            return status_;
        }
        status_ = headerDone();
        if (status_ != Status::Ok) {
            return status_;
        }
    }
    status_ = takeRows(data, length);
    return status_;
}

// Checks what the header alone can tell, as the loader would for a file
// holding every row it promises.
FedRows::Status FedRows::headerDone() {
    info_ = inspectVirtualScreen(header_, std::numeric_limits<std::size_t>::max());
    if (info_.error != LoadError::None) {
        return Status::Refused;
    }
    if (!sink_.sized(info_.layout.width, info_.layout.height)) {
        return Status::Stopped;
    }
    decodeRow_ = rowDecoderFor(info_.layout.depth);
    return Status::Ok;
}

// A full-size picture is made once an eighth of the rows' bytes have come
// (or all of them), a shrunk one once the first row's have (they back the
// planes of a decoded row); either only when what has come backs its memory
// by the loader's rule.
bool FedRows::mayPrepare() const {
    const std::uint64_t rows = info_.bytesNeeded - kHeaderSize;
    const std::uint64_t have = received_ - kHeaderSize;
    const RowLayout& layout = info_.layout;
    const std::uint64_t wait = sink_.shrinks() ? static_cast<std::uint64_t>(std::max<std::int64_t>(
                                                     layout.stride, layout.rowPixelBytes()))
                                               : rows / 8;
    if (have < rows && have < wait) {
        return false;
    }
    const std::uint64_t judged = std::max(received_, info_.bytesNeeded);
    return inspectVirtualScreen(header_, static_cast<std::size_t>(judged)).error == LoadError::None;
}

FedRows::Status FedRows::takeRows(const std::uint8_t* data, std::size_t length) {
    const std::uint64_t drop = std::min<std::uint64_t>(skip_, length);
    skip_ -= drop;
    data += drop;
    length -= static_cast<std::size_t>(drop);
    if (next_ >= info_.layout.height) {
        return Status::Ok;  // bytes after the last row are not read
    }
    if (decodeRow_ != nullptr) {
        try {
            pending_.insert(pending_.end(), data, data + length);
        } catch (const std::bad_alloc&) {
            return Status::OutOfMemory;
        }
    }
    if (!prepared_) {
        if (!mayPrepare()) {
            return Status::Ok;
        }
        // Nothing the size of a row is made before the picture is.
        if (!sink_.prepare(info_.layout.width, info_.layout.height)) {
            return Status::OutOfMemory;
        }
        try {
            if (decodeRow_ != nullptr) {
                planes_.assign(static_cast<std::size_t>(3 * info_.layout.width), 0);
            }
        } catch (const std::bad_alloc&) {
            return Status::OutOfMemory;
        }
        prepared_ = true;
    }
    const std::int64_t first = next_;
    // Only the rows whose bytes have come count.
    const std::int64_t ready = info_.layout.rowsWithin(received_);
    if (decodeRow_ == nullptr) {
        // Rows the decoder does not draw are black: told at once, not one by one.
        if (ready > next_) {
            sink_.black(next_, ready - next_);
            next_ = ready;
        }
    } else {
        std::size_t used = 0;
        decodeRows(pending_.data(), pending_.size(), ready, &used);
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(used));
    }
    if (next_ > first) {
        sink_.updated(first, next_ - first);
    }
    return Status::Ok;
}

// Decodes rows up to `ready`, whose pixel bytes are all in [data, data + length).
void FedRows::decodeRows(const std::uint8_t* data, std::size_t length, std::int64_t ready,
                         std::size_t* used) {
    const RowLayout& layout = info_.layout;
    const auto stride = static_cast<std::uint64_t>(layout.stride);
    const std::int64_t w = layout.width;
    std::uint8_t* planes = planes_.data();
    const RgbRow row{planes, planes + w, planes + 2 * w};
    std::size_t at = 0;
    while (next_ < ready) {
        decodeRow_(data + at, w, planes, planes + w, planes + 2 * w);
        sink_.row(next_, row);
        ++next_;
        const std::uint64_t step = std::min<std::uint64_t>(stride, length - at);
        at += static_cast<std::size_t>(step);
        skip_ = next_ < layout.height ? skip_ + (stride - step) : 0;
    }
    *used = next_ < layout.height ? at : length;
}

FedRows::Status FedRows::finish() {
    if (status_ != Status::Ok) {
        return status_;
    }
    // The loader's verdict on a file of this length.
    info_ = inspectVirtualScreen(header_, static_cast<std::size_t>(received_));
    const bool complete = prepared_ && next_ >= info_.layout.height;
    if (info_.error == LoadError::None && !complete) {
        info_.error = LoadError::TruncatedRows;  // defensive: the length says the rows came
    }
    status_ = info_.error == LoadError::None ? Status::Ok : Status::Refused;
    return status_;
}

}  // namespace vrs::plugin
