// SPDX-License-Identifier: MIT
// A capture opened for the Python module: where its bytes come from (a
// regular file read with pread, or bytes in memory that the caller keeps
// alive), its header, and the loader's verdict on both. Opening reads the
// header only; the rows are read as they are asked for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "decode/file_rows.h"
#include "vrscreen/header.h"
#include "vrscreen/loader.h"

namespace vrs::python {

class CaptureSource {
  public:
    CaptureSource() = default;
    CaptureSource(const CaptureSource&) = delete;
    CaptureSource& operator=(const CaptureSource&) = delete;
    ~CaptureSource();

    // A regular file by its name. False when it cannot be opened, with an
    // errno, EISDIR or kNotRegularFile in *error; true once its header is
    // judged, whatever the verdict (info()).
    bool openPath(const std::string& path, int* error);
    // The caller's open descriptor, the capture starting `base` bytes into
    // it: the descriptor is duplicated, so the caller may close its own.
    bool openDescriptor(int fd, std::uint64_t base, int* error);
    // `size` bytes at `data`, which must outlive this source.
    void openMemory(const std::uint8_t* data, std::size_t size);

    // What the loader says of the header and the length (error None: readable).
    const VirtualScreenInfo& info() const { return info_; }
    // The first bytes (kHeaderSize, or all of a shorter file).
    const std::uint8_t* header() const { return header_; }
    // Where the rows are and how to read them; for a readable capture only.
    PixelRows rows() const;
    // The file's bytes from where the capture starts: those of a picture
    // of another format (a PNG to compare with) too.
    FileBytes bytes() const;

  private:
    static bool readAfterBase(void* context, std::uint64_t offset, void* out, std::size_t length);
    bool openFd(int fd, std::uint64_t base, std::uint64_t size, const FileStamp& stamp);
    void judge(std::uint64_t size);

    int fd_ = -1;
    std::uint64_t base_ = 0;
    FileStamp stamp_;
    const std::uint8_t* memory_ = nullptr;
    std::size_t memorySize_ = 0;
    std::uint8_t header_[kHeaderSize] = {};
    VirtualScreenInfo info_;
};

}  // namespace vrs::python
