// SPDX-License-Identifier: MIT
// Opening a file for reading only when it is a regular file. The open never
// blocks: a named pipe, a device or a folder is refused at once.
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/file_stamp.h"

namespace vrs {

// The error for a file that is neither a regular file nor a folder (EISDIR):
// a named pipe, a device or a socket. Opening never gives EEXIST otherwise.
inline constexpr int kNotRegularFile = EEXIST;

struct OpenedFile {
    int fd = -1;             // read-only, close-on-exec; the caller closes it
    std::uint64_t size = 0;  // its length when opened
    int error = 0;           // when fd is -1: an errno, EISDIR or kNotRegularFile
    FileStamp stamp;         // as it was when opened
};

OpenedFile openRegularFile(const std::string& path);

// Reads exactly `length` bytes at `offset`, retrying interrupted and partial
// reads. False when the file holds fewer (it has shrunk) or a read fails.
bool readFully(int fd, std::uint64_t offset, void* out, std::size_t length);

// Where a file's data lies at or after `offset`: the extent [*start, *end)
// of bytes the file holds, the bytes from offset up to *start being a hole
// that reads as zeros. *start is UINT64_MAX when only a hole (or the file's
// end) follows offset. A descriptor that cannot tell, or a file system
// without holes, gives [offset, UINT64_MAX): everything is data. The
// descriptor's own file position is left where it was.
void dataExtent(int fd, std::uint64_t offset, std::uint64_t* start, std::uint64_t* end);

}  // namespace vrs
