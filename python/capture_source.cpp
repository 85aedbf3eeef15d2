// SPDX-License-Identifier: MIT
#include "capture_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/regular_file.h"

namespace vrs::python {

CaptureSource::~CaptureSource() {
    if (fd_ >= 0) {
        // Only read from: its close has nothing to report.
        [[maybe_unused]] const int rc = ::close(fd_);
    }
}

bool CaptureSource::openPath(const std::string& path, int* error) {
    const OpenedFile file = openRegularFile(path);
    if (file.fd < 0) {
        *error = file.error;
        return false;
    }
    return openFd(file.fd, 0, file.size, file.stamp);
}

bool CaptureSource::openDescriptor(int fd, std::uint64_t base, int* error) {
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        *error = errno;
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        *error = S_ISDIR(st.st_mode) ? EISDIR : kNotRegularFile;
        return false;
    }
    const int own = fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (own < 0) {
        *error = errno;
        return false;
    }
    const auto size = static_cast<std::uint64_t>(st.st_size);
    return openFd(own, base, size - std::min(base, size), stampOf(st));
}

bool CaptureSource::openFd(int fd, std::uint64_t base, std::uint64_t size, const FileStamp& stamp) {
    fd_ = fd;
    base_ = base;
    stamp_ = stamp;
    const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(size, kHeaderSize));
    if (!readFully(fd_, base_, header_, length)) {
        info_.fileSize = size;
        info_.error = LoadError::ChangedWhileRead;
        return true;
    }
    judge(size);
    return true;
}

void CaptureSource::openMemory(const std::uint8_t* data, std::size_t size) {
    memory_ = data;
    memorySize_ = size;
    std::memcpy(header_, data, std::min(size, kHeaderSize));
    judge(size);
}

void CaptureSource::judge(std::uint64_t size) {
    info_ = inspectVirtualScreen(header_, static_cast<std::size_t>(size));
    // The rows of a capture that starts further into its file.
    info_.layout.headerSize += base_;
}

PixelRows CaptureSource::rows() const {
    FileBytes bytes{fd_, memory_, memorySize_, {}};
    if (fd_ >= 0) {
        bytes.stamp = stamp_;
    }
    return {bytes, info_.layout};
}

FileBytes CaptureSource::bytes() const {
    if (fd_ < 0 || base_ == 0) {
        return rows().bytes;
    }
    FileBytes shifted;
    shifted.readAt = &CaptureSource::readAfterBase;
    shifted.context = const_cast<CaptureSource*>(this);
    return shifted;
}

bool CaptureSource::readAfterBase(void* context, std::uint64_t offset, void* out,
                                  std::size_t length) {
    const auto* source = static_cast<const CaptureSource*>(context);
    return offset <= UINT64_MAX - source->base_ &&
           readFully(source->fd_, source->base_ + offset, out, length);
}

}  // namespace vrs::python
