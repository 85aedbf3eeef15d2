// SPDX-License-Identifier: MIT
#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vrs {

OpenedFile openRegularFile(const std::string& path) {
    OpenedFile file;
    // O_NONBLOCK: opening a named pipe for reading would otherwise wait for a
    // writer. It changes nothing for the regular files that are kept.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        file.error = errno;
        return file;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        file.error = errno;
    } else if (S_ISDIR(st.st_mode)) {
        file.error = EISDIR;
    } else if (!S_ISREG(st.st_mode)) {
        file.error = kNotRegularFile;
    } else {
        file.fd = fd;
        file.size = static_cast<std::uint64_t>(st.st_size);
        file.stamp = stampOf(st);
        return file;
    }
    // Nothing was read through the descriptor: its close has nothing to report.
    [[maybe_unused]] const int closed = ::close(fd);
    return file;
}

bool readFully(int fd, std::uint64_t offset, void* out, std::size_t length) {
    auto* to = static_cast<std::uint8_t*>(out);
    while (length > 0) {
        const ssize_t n = pread(fd, to, length, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        to += n;
        offset += static_cast<std::uint64_t>(n);
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace vrs
