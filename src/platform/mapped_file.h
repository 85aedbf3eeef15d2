// SPDX-License-Identifier: MIT
// A file mapped read-only into memory, with its length. No copy is made.
// The file stays open while it is mapped, so that parts of it can also be
// read with pread: copying a large range costs less than mapping it in a
// page at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/file_stamp.h"

namespace vrs {

class MappedFile {
  public:
    MappedFile() = default;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    MappedFile(MappedFile&& other) noexcept;
    MappedFile& operator=(MappedFile&& other) noexcept;
    ~MappedFile();

    // Maps `path`, a regular file; on failure returns false and error() says
    // why: an errno, EISDIR or kNotRegularFile (see regular_file.h).
    bool open(const std::string& path);
    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }
    // The open file, or -1 when none is open.
    int fd() const { return fd_; }
    int error() const { return error_; }
    // The file as it was when mapped: compare with a later stampPath of the
    // same path to tell a file that changed while it was read.
    const FileStamp& stamp() const { return stamp_; }

  private:
    void reset();
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    int fd_ = -1;
    int error_ = 0;
    FileStamp stamp_;
};

}  // namespace vrs
