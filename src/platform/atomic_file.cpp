// SPDX-License-Identifier: MIT
#include "platform/atomic_file.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/output_target.h"
#include "platform/temp_registry.h"

namespace vrs {
namespace {

constexpr std::size_t kBufferSize = std::size_t{1} << 20;

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

// Holds the terminating signals back while a temporary file is made and recorded,
// so a signal finds it either not yet made or in the cleanup table.
class SignalsHeld {
  public:
    SignalsHeld() {
        sigset_t set;
        sigemptyset(&set);
        for (const int signal : kTerminatingSignals) {
            sigaddset(&set, signal);
        }
        held_ = pthread_sigmask(SIG_BLOCK, &set, &old_) == 0;
    }
    ~SignalsHeld() {
        if (held_) {
            // Restoring a mask that was valid a moment ago cannot fail.
            [[maybe_unused]] const int rc = pthread_sigmask(SIG_SETMASK, &old_, nullptr);
        }
    }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

  private:
    sigset_t old_;
    bool held_ = false;
};

// Makes a temporary file and its record one step for a signal handler on
// another thread (see temp_registry.h), whatever way the scope is left.
struct TempCreation {
    const bool open = beginTempCreation();
    TempCreation() = default;
    TempCreation(const TempCreation&) = delete;
    TempCreation& operator=(const TempCreation&) = delete;
    ~TempCreation() {
        if (open) {
            endTempCreation();
        }
    }
};

}  // namespace

int FileOps::makeTemp(char* pattern) {
    return mkostemp(pattern, O_CLOEXEC);
}
int FileOps::makeUnnamedTemp(const char* folder) {
    return ::open(folder, O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
}
int FileOps::linkUnnamed(int fd, const char* path) {
    // The descriptor's own name in /proc links it without privileges.
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path, AT_SYMLINK_FOLLOW);
}
ssize_t FileOps::pwrite(int fd, const void* data, std::size_t size, off_t offset) {
    return ::pwrite(fd, data, size, offset);
}
ssize_t FileOps::write(int fd, const void* data, std::size_t size) {
    return ::write(fd, data, size);
}
int FileOps::fchmod(int fd, mode_t mode) {
    return ::fchmod(fd, mode);
}
int FileOps::fchown(int fd, uid_t owner, gid_t group) {
    return ::fchown(fd, owner, group);
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

int AtomicFile::start() {
    discard();
    error_ = 0;
    target_.clear();
    keepOwner_ = false;
    ownsOut_ = false;
    direct_ = false;
    buffered_ = 0;
    bufferStart_ = position_ = size_ = 0;
    buffer_.reset(new (std::nothrow) std::uint8_t[kBufferSize]);
    if (!buffer_) {
        fail(ENOMEM);
    }
    return error_;
}

int AtomicFile::open(const std::string& target, bool seeks) {
    if (start() != 0) {
        return error_;
    }
    OutputTarget t;
    if (const int rc = resolveOutput(target, &t); rc != 0) {
        fail(rc);
        return error_;
    }
    switch (t.kind) {
        case TargetKind::Directory:
            fail(EISDIR);
            return error_;
        case TargetKind::Unsupported:
            fail(kNotRegularFile);
            return error_;
        case TargetKind::Stream: {
            // A descriptor's regular file (/dev/stdout > file) is written at its end.
            const int append = S_ISREG(t.st.st_mode) ? O_APPEND : 0;
            const int fd = ::open(t.path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | append);
            if (fd < 0) {
                fail(errno);
                return error_;
            }
            ownsOut_ = true;
            return writeThrough(fd, seeks);
        }
        case TargetKind::Regular:
            mode_ = t.st.st_mode & 07777;
            keepOwner_ = true;
            owner_ = t.st.st_uid;
            group_ = t.st.st_gid;
            break;
        case TargetKind::Missing:
            mode_ = 0666 & ~processUmask();
            break;
    }
    target_ = t.path;
    return openTemp(folderOf(t.path), true);
}

int AtomicFile::openDescriptor(int fd, bool seeks) {
    if (start() != 0) {
        return error_;
    }
    ownsOut_ = false;
    return writeThrough(fd, seeks);
}

// A stream is written in order; a writer that seeks goes through a spool.
int AtomicFile::writeThrough(int fd, bool seeks) {
    if (seeks) {
        out_ = fd;
        return openSpool();
    }
    direct_ = true;
    fd_ = fd;
    return 0;
}

int AtomicFile::openTemp(const std::string& folder, bool unnamed) {
    if (unnamed && access("/proc/self/fd", X_OK) == 0) {
        fd_ = ops_.makeUnnamedTemp(folder.c_str());
        if (fd_ >= 0) {
            unnamed_ = true;
            folder_ = folder;
            return 0;
        }
        // No O_TMPFILE here (or the folder refuses it): a named file says why.
    }
    std::string pattern = folder + "/.vrsexport-XXXXXX";
    SignalsHeld held;
    const TempCreation creation;
    if (!creation.open) {
        fail(EINTR);  // a signal handler is ending the process
        return error_;
    }
    fd_ = ops_.makeTemp(pattern.data());
    if (fd_ < 0) {
        fail(errno);
        return error_;
    }
    temp_ = pattern;
    slot_ = registerTemp(temp_.c_str());
    return 0;
}

// An unnamed file that holds the whole output until commit copies it out.
int AtomicFile::openSpool() {
    const char* tmp = std::getenv("TMPDIR");
    if (openTemp(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp", true) != 0) {
        return error_;
    }
    if (unnamed_) {
        unnamed_ = false;  // never linked
        return 0;
    }
    if (ops_.unlink(temp_.c_str()) != 0) {
        fail(errno);
    }
    unregisterTemp(slot_);
    slot_ = -1;
    temp_.clear();
    return error_;
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
        const ssize_t n = direct_ ? ops_.write(fd_, p, left)
                                  : ops_.pwrite(fd_, p, left, static_cast<off_t>(offset));
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
    if (direct_) {
        fail(ESPIPE);  // open() was told the writer never seeks
        return false;
    }
    if (error_ != 0 || fd_ < 0 || !flush()) {
        fail(EBADF);
        return false;
    }
    bufferStart_ = position_ = position;
    return true;
}

// Owner and group first: changing them may clear set-id permission bits.
int AtomicFile::replaceTarget() {
    if (keepOwner_ && ops_.fchown(fd_, owner_, group_) != 0) {
        // Only root may give a file away; the group alone may still be ours.
        if (errno != EPERM ||
            (ops_.fchown(fd_, static_cast<uid_t>(-1), group_) != 0 && errno != EPERM)) {
            fail(errno);
        }
    }
    if (error_ == 0 && ops_.fchmod(fd_, mode_) != 0) {
        fail(errno);
    }
    if (error_ == 0 && ops_.fsync(fd_) != 0) {
        fail(errno);
    }
    return error_;
}

int AtomicFile::copySpool() {
    std::uint64_t offset = 0;
    bufferStart_ = 0;
    while (error_ == 0 && offset < size_) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(kBufferSize, size_ - offset));
        const ssize_t n = pread(fd_, buffer_.get(), want, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            fail(n == 0 ? EIO : errno);
            break;
        }
        std::swap(fd_, out_);
        direct_ = true;
        buffered_ = static_cast<std::size_t>(n);
        const bool ok = flush();
        direct_ = false;
        std::swap(fd_, out_);
        offset += static_cast<std::uint64_t>(n);
        if (!ok) {
            break;
        }
    }
    return error_;
}

// Links the unnamed temporary file under a name of its own beside the
// target, recorded for the signal handlers, for the rename.
int AtomicFile::nameTemp() {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    SignalsHeld held;
    const TempCreation creation;
    if (!creation.open) {
        fail(EINTR);  // a signal handler is ending the process
        return error_;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = folder_ + "/.vrsexport-";
        unsigned char random[6] = {};
        if (getentropy(random, sizeof random) != 0) {
            fail(errno);
            return error_;
        }
        for (const unsigned char r : random) {
            name += kLetters[r % (sizeof kLetters - 1)];
        }
        if (ops_.linkUnnamed(fd_, name.c_str()) == 0) {
            temp_ = name;
            slot_ = registerTemp(temp_.c_str());
            return 0;
        }
        if (errno != EEXIST) {
            fail(errno);
            return error_;
        }
    }
    fail(EEXIST);
    return error_;
}

int AtomicFile::commit() {
    if (fd_ < 0) {
        fail(EBADF);
    }
    if (error_ == 0 && flush()) {
        if (!target_.empty()) {
            if (replaceTarget() == 0 && unnamed_) {
                nameTemp();
            }
        } else if (out_ >= 0) {
            copySpool();
        }
    }
    if (out_ >= 0 && ownsOut_) {
        if (ops_.close(out_) != 0) {
            fail(errno);
        }
        out_ = -1;
    }
    if (fd_ >= 0 && (!direct_ || ownsOut_)) {
        // close can report a deferred write error (NFS, quotas).
        if (ops_.close(fd_) != 0) {
            fail(errno);
        }
    }
    fd_ = -1;
    direct_ = false;
    if (error_ == 0 && !target_.empty() && ops_.rename(temp_.c_str(), target_.c_str()) != 0) {
        fail(errno);
    }
    if (error_ == 0) {
        temp_.clear();
    }
    discard();
    return error_;
}

void AtomicFile::discard() {
    if (fd_ >= 0 && (!direct_ || ownsOut_)) {
        // Nothing written there is kept, so a failing close changes nothing.
        [[maybe_unused]] const int rc = ops_.close(fd_);
    }
    fd_ = -1;
    if (out_ >= 0 && ownsOut_) {
        [[maybe_unused]] const int rc = ops_.close(out_);
    }
    out_ = -1;
    direct_ = false;
    unnamed_ = false;
    if (!temp_.empty()) {
        // The temporary file is ours; if it cannot be removed there is no one to tell.
        [[maybe_unused]] const int rc = ops_.unlink(temp_.c_str());
        temp_.clear();
    }
    unregisterTemp(slot_);
    slot_ = -1;
    buffered_ = 0;
}

}  // namespace vrs
