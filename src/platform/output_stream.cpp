// SPDX-License-Identifier: MIT
#include "platform/output_stream.h"

#include <cstring>
#include <new>

namespace vrs {

bool MemoryStream::write(const void* data, std::size_t size) {
    if (failed_) {
        return false;
    }
    try {
        if (position_ + size > bytes_.size()) {
            bytes_.resize(position_ + size);
        }
    } catch (const std::bad_alloc&) {
        failed_ = true;
        return false;
    }
    if (size != 0) {
        std::memcpy(bytes_.data() + position_, data, size);
    }
    position_ += size;
    return true;
}

bool MemoryStream::seek(std::uint64_t position) {
    if (failed_) {
        return false;
    }
    position_ = position;
    return true;
}

}  // namespace vrs
