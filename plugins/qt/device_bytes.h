// SPDX-License-Identifier: MIT
// The bytes of a file behind a QIODevice, for the core's row readers: a file
// on disk is read with pread on its descriptor (never mapped, so a file cut
// short while it is read gives a failed read, not a signal), any other
// random-access device by its own seek and read, and a sequential device
// (a pipe, a socket) into memory as its bytes come, up to what the header
// promises and no further.
#pragma once

#include <QtGlobal>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "decode/file_rows.h"
#include "vrscreen/header.h"

class QIODevice;

namespace vrs::plugin {

class DeviceBytes {
  public:
    // Reads the header at the device's position; ok() is false when the
    // device gives fewer bytes than a header (size() then says how many).
    explicit DeviceBytes(QIODevice* device);
    DeviceBytes(const DeviceBytes&) = delete;
    DeviceBytes& operator=(const DeviceBytes&) = delete;

    bool ok() const { return ok_; }
    const std::uint8_t* header() const { return header_; }
    // The file's length, counted from where the device stood.
    std::uint64_t size() const { return size_; }
    // Reads a sequential device's bytes up to `needed` (its length then
    // follows what came); random-access devices need nothing. False when
    // memory is short.
    bool fetch(std::uint64_t needed);
    FileBytes bytes();

  private:
    static bool readAt(void* context, std::uint64_t offset, void* out, std::size_t length);

    QIODevice* device_;
    qint64 base_ = 0;
    int fd_ = -1;
    bool sequential_ = false;
    std::vector<std::uint8_t> memory_;  // a sequential device's bytes
    std::uint8_t header_[kHeaderSize] = {};
    std::uint64_t size_ = 0;
    bool ok_ = false;
};

}  // namespace vrs::plugin
