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

void dataExtent(int fd, std::uint64_t offset, std::uint64_t* start, std::uint64_t* end) {
    *start = offset;
    *end = UINT64_MAX;
    const off_t was = lseek(fd, 0, SEEK_CUR);
    if (was < 0 || offset > static_cast<std::uint64_t>(INT64_MAX)) {
        return;  // not seekable: read it all
    }
    const off_t data = lseek(fd, static_cast<off_t>(offset), SEEK_DATA);
    if (data < 0) {
        if (errno == ENXIO) {
            *start = UINT64_MAX;  // a hole up to the end, or past the end
        }
    } else {
        *start = static_cast<std::uint64_t>(data);
        const off_t hole = lseek(fd, data, SEEK_HOLE);
        *end = hole > data ? static_cast<std::uint64_t>(hole) : UINT64_MAX;
    }
    // Back where the descriptor's owner left it; a failure here leaves the
    // position at one of the file's own offsets, which a reader by offset
    // never notices.
    [[maybe_unused]] const off_t back = lseek(fd, was, SEEK_SET);
}

}  // namespace vrs
