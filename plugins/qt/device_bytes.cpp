// SPDX-License-Identifier: MIT
#include "device_bytes.h"

#include <QFileDevice>
#include <QIODevice>
#include <algorithm>
#include <cstring>
#include <new>

#include "platform/regular_file.h"
#include "vrscreen/header.h"

namespace vrs::plugin {
namespace {

// Bytes of a sequential device read at a time.
constexpr std::uint64_t kChunk = std::uint64_t{1} << 20;
// How long a sequential device may keep its next bytes waiting.
constexpr int kWaitMilliseconds = 30000;

// Reads up to `length` bytes, waiting on a device whose bytes are still to
// come; fewer only at the device's end.
qint64 readSome(QIODevice* device, char* out, qint64 length) {
    qint64 got = 0;
    while (got < length) {
        const qint64 n = device->read(out + got, length - got);
        if (n < 0) {
            break;
        }
        if (n == 0 && !(device->isSequential() && device->waitForReadyRead(kWaitMilliseconds))) {
            break;
        }
        got += n;
    }
    return got;
}

}  // namespace

DeviceBytes::DeviceBytes(QIODevice* device) : device_(device) {
    if (device_ == nullptr || !device_->isReadable()) {
        return;
    }
    sequential_ = device_->isSequential();
    base_ = device_->pos();
    if (sequential_) {
        try {
            memory_.resize(kHeaderSize);
        } catch (const std::bad_alloc&) {
            return;
        }
        const qint64 got = readSome(device_, reinterpret_cast<char*>(memory_.data()), kHeaderSize);
        memory_.resize(static_cast<std::size_t>(got));
        size_ = memory_.size();
        std::memcpy(header_, memory_.data(), memory_.size());
        ok_ = size_ == kHeaderSize;
        return;
    }
    if (auto* file = qobject_cast<QFileDevice*>(device_); file != nullptr) {
        fd_ = file->handle();
    }
    const qint64 length = device_->size() - base_;
    size_ = length > 0 ? static_cast<std::uint64_t>(length) : 0;
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(size_, kHeaderSize));
    ok_ = size_ >= kHeaderSize && readAt(this, 0, header_, want);
}

bool DeviceBytes::fetch(std::uint64_t needed) {
    if (!sequential_) {
        return true;
    }
    try {
        while (memory_.size() < needed) {
            const std::size_t had = memory_.size();
            const std::uint64_t want = std::min<std::uint64_t>(kChunk, needed - had);
            memory_.resize(had + static_cast<std::size_t>(want));
            const qint64 got = readSome(device_, reinterpret_cast<char*>(memory_.data() + had),
                                        static_cast<qint64>(want));
            memory_.resize(had + static_cast<std::size_t>(got));
            if (static_cast<std::uint64_t>(got) < want) {
                break;  // the device has ended
            }
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    size_ = memory_.size();
    return true;
}

FileBytes DeviceBytes::bytes() {
    FileBytes bytes;
    if (sequential_) {
        bytes.memory = memory_.data();
        bytes.size = memory_.size();
    } else {
        bytes.readAt = &DeviceBytes::readAt;
        bytes.context = this;
        // A file's descriptor tells where its holes are.
        bytes.extentFd = fd_;
        bytes.extentBase = static_cast<std::uint64_t>(base_);
    }
    return bytes;
}

bool DeviceBytes::readAt(void* context, std::uint64_t offset, void* out, std::size_t length) {
    auto* self = static_cast<DeviceBytes*>(context);
    const auto at = static_cast<std::uint64_t>(self->base_) + offset;
    if (self->fd_ >= 0) {
        return readFully(self->fd_, at, out, length);
    }
    if (at > static_cast<std::uint64_t>(INT64_MAX) ||
        !self->device_->seek(static_cast<qint64>(at))) {
        return false;
    }
    return readSome(self->device_, static_cast<char*>(out), static_cast<qint64>(length)) ==
           static_cast<qint64>(length);
}

}  // namespace vrs::plugin
