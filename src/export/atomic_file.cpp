#include "export/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

namespace vrs {
namespace {

constexpr std::size_t kBufferSize = std::size_t{1} << 20;

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The process umask, read once. umask() can only be read by setting it, so
// this runs before any file of ours is made.
mode_t processUmask() {
    static const mode_t mask = [] {
        const mode_t m = umask(022);
        umask(m);
        return m;
    }();
    return mask;
}

// An existing target keeps its permissions; a new file gets those of any
// newly created file: 0666 less the umask.
mode_t modeFor(const std::string& target) {
    struct stat st {};
    if (stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        return st.st_mode & 0777;
    }
    return 0666 & ~processUmask();
}

}  // namespace

int FileOps::makeTemp(char* pattern) {
    return mkostemp(pattern, O_CLOEXEC);
}
ssize_t FileOps::pwrite(int fd, const void* data, std::size_t size, off_t offset) {
    return ::pwrite(fd, data, size, offset);
}
int FileOps::fchmod(int fd, mode_t mode) {
    return ::fchmod(fd, mode);
}
int FileOps::fsync(int fd) {
    return ::fsync(fd);
}
int FileOps::close(int fd) {
    return ::close(fd);
}
int FileOps::rename(const char* from, const char* to) {
    return ::rename(from, to);
}
int FileOps::unlink(const char* path) {
    return ::unlink(path);
}

FileOps& systemFileOps() {
    static FileOps ops;
    return ops;
}

AtomicFile::AtomicFile(FileOps& ops) : ops_(ops) {}

AtomicFile::~AtomicFile() {
    discard();
}

int AtomicFile::open(const std::string& target) {
    discard();
    error_ = 0;
    target_ = target;
    mode_ = modeFor(target);
    buffer_.reset(new (std::nothrow) std::uint8_t[kBufferSize]);
    if (!buffer_) {
        fail(ENOMEM);
        return error_;
    }
    std::string pattern = folderOf(target) + "/.vrsexport-XXXXXX";
    fd_ = ops_.makeTemp(pattern.data());
    if (fd_ < 0) {
        fail(errno);
        return error_;
    }
    temp_ = pattern;
    buffered_ = 0;
    bufferStart_ = position_ = size_ = 0;
    return 0;
}

void AtomicFile::fail(int error) {
    if (error_ == 0) {
        error_ = error != 0 ? error : EIO;
    }
}

bool AtomicFile::flush() {
    const std::uint8_t* p = buffer_.get();
    std::size_t left = buffered_;
    std::uint64_t offset = bufferStart_;
    while (left > 0) {
        const ssize_t n = ops_.pwrite(fd_, p, left, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            // A write of 0 bytes to a regular file means no room was left.
            fail(n == 0 ? ENOSPC : errno);
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
        offset += static_cast<std::uint64_t>(n);
    }
    bufferStart_ = offset;
    buffered_ = 0;
    return true;
}

bool AtomicFile::write(const void* data, std::size_t size) {
    if (error_ != 0 || fd_ < 0) {
        fail(EBADF);
        return false;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    while (size > 0) {
        if (buffered_ == kBufferSize && !flush()) {
            return false;
        }
        const std::size_t n = std::min(size, kBufferSize - buffered_);
        std::memcpy(buffer_.get() + buffered_, bytes, n);
        buffered_ += n;
        bytes += n;
        size -= n;
        position_ += n;
    }
    size_ = std::max(size_, position_);
    return true;
}

bool AtomicFile::seek(std::uint64_t position) {
    if (error_ != 0 || fd_ < 0 || !flush()) {
        fail(EBADF);
        return false;
    }
    bufferStart_ = position_ = position;
    return true;
}

int AtomicFile::commit() {
    if (fd_ < 0) {
        fail(EBADF);
    }
    if (error_ == 0 && flush() && ops_.fchmod(fd_, mode_) != 0) {
        fail(errno);
    }
    if (error_ == 0 && ops_.fsync(fd_) != 0) {
        fail(errno);
    }
    if (fd_ >= 0) {
        // close can report a deferred write error (NFS, quotas).
        if (ops_.close(fd_) != 0) {
            fail(errno);
        }
        fd_ = -1;
    }
    if (error_ == 0 && ops_.rename(temp_.c_str(), target_.c_str()) != 0) {
        fail(errno);
    }
    if (error_ == 0) {
        temp_.clear();
    }
    discard();
    return error_;
}

void AtomicFile::discard() {
    if (fd_ >= 0) {
        // Nothing written there is kept, so a failing close changes nothing.
        [[maybe_unused]] const int rc = ops_.close(fd_);
        fd_ = -1;
    }
    if (!temp_.empty()) {
        // The temporary file is ours; if it cannot be removed there is no one to tell.
        [[maybe_unused]] const int rc = ops_.unlink(temp_.c_str());
        temp_.clear();
    }
    buffered_ = 0;
}

}  // namespace vrs
