// Writes a file so that the target is either replaced whole or left exactly
// as it was: the bytes go to a temporary file in the target's folder, which
// is flushed to the disk and then renamed over the target. On any failure the
// temporary file is removed.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "export/output_stream.h"

namespace vrs {

// The system calls the writer makes. Tests replace some of them to inject
// faults (a full disk, a failing flush).
class FileOps {
  public:
    virtual ~FileOps() = default;
    virtual int makeTemp(char* pattern);  // mkostemp; returns fd or -1 with errno
    virtual ssize_t pwrite(int fd, const void* data, std::size_t size, off_t offset);
    virtual int fchmod(int fd, mode_t mode);
    virtual int fsync(int fd);
    virtual int close(int fd);
    virtual int rename(const char* from, const char* to);
    virtual int unlink(const char* path);
};

// The real system calls.
FileOps& systemFileOps();

class AtomicFile final : public OutputStream {
  public:
    explicit AtomicFile(FileOps& ops = systemFileOps());
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    ~AtomicFile() override;  // discards an uncommitted file

    // Creates the temporary file beside `target`. Returns 0 or an errno.
    int open(const std::string& target);
    bool write(const void* data, std::size_t size) override;
    bool seek(std::uint64_t position) override;
    std::uint64_t position() const override { return position_; }
    std::uint64_t size() const override { return size_; }
    bool failed() const override { return error_ != 0; }
    // The errno of the first failure, or 0.
    int error() const { return error_; }

    // Flushes, sets the permissions, syncs and renames over the target.
    // Returns 0 or the errno of the failed step; the temporary file is gone
    // either way.
    int commit();
    // Removes the temporary file.
    void discard();

  private:
    bool flush();
    void fail(int error);

    FileOps& ops_;
    std::string target_;
    std::string temp_;
    int fd_ = -1;
    mode_t mode_ = 0644;
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::size_t buffered_ = 0;
    std::uint64_t bufferStart_ = 0;  // file offset of buffer_[0]
    std::uint64_t position_ = 0;
    std::uint64_t size_ = 0;
    int error_ = 0;
};

}  // namespace vrs
