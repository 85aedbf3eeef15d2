// Opening a file for reading only when it is a regular file. The open never
// blocks: a named pipe, a device or a folder is refused at once.
#pragma once

#include <cstdint>
#include <string>

namespace vrs {

struct OpenedFile {
    int fd = -1;             // read-only, close-on-exec; the caller closes it
    std::uint64_t size = 0;  // its length when opened
    std::string error;       // "PATH: why" when fd is -1
};

OpenedFile openRegularFile(const std::string& path);

// Reads exactly `length` bytes at `offset`, retrying interrupted and partial
// reads. False when the file holds fewer (it has shrunk) or a read fails.
bool readFully(int fd, std::uint64_t offset, void* out, std::size_t length);

}  // namespace vrs
