// SPDX-License-Identifier: MIT
// Writes a file so that the target is either replaced whole or left exactly
// as it was: the bytes go to a temporary file in the folder of the target
// (of the file a symbolic link finally names, so the link stays a link),
// which is flushed to the disk and then renamed over the target. Where the
// file system allows it the temporary file has no name while it is written
// (O_TMPFILE): a process killed meanwhile, even by SIGKILL, leaves nothing
// behind; it is linked under a temporary name only for the rename. Elsewhere
// it is named from the start. On any failure, and on a terminating signal
// (see temp_registry.h), a named temporary file is removed. A replaced file keeps its permissions,
// and its owner and group where the process may set them.
//
// A character device or a FIFO is not replaced but written straight through,
// as is a descriptor given to openDescriptor (standard output). Such outputs
// cannot seek: a writer that seeks (libtiff) is spooled to an unlinked
// temporary file and copied out at commit. A directory, socket or block
// device is never replaced.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/output_stream.h"
#include "platform/regular_file.h"

namespace vrs {

// open() returns kNotRegularFile (regular_file.h) when the target is neither
// a regular file, a character device nor a FIFO, and not a directory
// (EISDIR): a socket or a block device. mkostemp gives EEXIST only after
// exhausting its names.

// The system calls the writer makes. Tests replace some of them to inject
// faults (a full disk, a failing flush).
class FileOps {
  public:
    virtual ~FileOps() = default;
    virtual int makeTemp(char* pattern);  // mkostemp; returns fd or -1 with errno
    // An unnamed file in `folder` (O_TMPFILE), or -1 with errno where the
    // file system has none.
    virtual int makeUnnamedTemp(const char* folder);
    // Gives the unnamed file of fd the name `path` (linkat); -1 with errno.
    virtual int linkUnnamed(int fd, const char* path);
    virtual ssize_t pwrite(int fd, const void* data, std::size_t size, off_t offset);
    virtual ssize_t write(int fd, const void* data, std::size_t size);
    virtual int fchmod(int fd, mode_t mode);
    virtual int fchown(int fd, uid_t owner, gid_t group);
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

    // Prepares to write `target`. seeks: the writer will call seek(). Returns
    // 0 or an errno (kNotRegularFile, EISDIR for what is never replaced).
    int open(const std::string& target, bool seeks = false);
    // Prepares to write to an open descriptor, which stays open (standard output).
    int openDescriptor(int fd, bool seeks = false);
    bool write(const void* data, std::size_t size) override;
    bool seek(std::uint64_t position) override;
    std::uint64_t position() const override { return position_; }
    std::uint64_t size() const override { return size_; }
    bool failed() const override { return error_ != 0; }
    // The errno of the first failure, or 0.
    int error() const { return error_; }

    // Flushes, sets the owner and permissions, syncs and renames over the
    // target (or copies the spool out). Returns 0 or the errno of the failed
    // step; the temporary file is gone either way.
    int commit();
    // Removes the temporary file.
    void discard();

  private:
    int start();
    int openTemp(const std::string& folder, bool unnamed);
    int nameTemp();
    int openSpool();
    int writeThrough(int fd, bool seeks);
    int replaceTarget();
    int copySpool();
    bool flush();
    void fail(int error);

    FileOps& ops_;
    std::string target_;  // the file replaced (links followed); "" when writing through
    std::string temp_;    // the temporary file's name, once it has one
    std::string folder_;  // where an unnamed temporary file is
    bool unnamed_ = false;
    int fd_ = -1;   // the temporary file or spool, or the output itself
    int out_ = -1;  // the output a spool is copied to; -1 when replacing
    bool ownsOut_ = false;
    bool direct_ = false;  // fd_ is the output: sequential writes
    int slot_ = -1;        // temp_'s entry in the signal cleanup table
    mode_t mode_ = 0644;
    bool keepOwner_ = false;
    uid_t owner_ = 0;
    gid_t group_ = 0;
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::size_t buffered_ = 0;
    std::uint64_t bufferStart_ = 0;  // file offset of buffer_[0]
    std::uint64_t position_ = 0;
    std::uint64_t size_ = 0;
    int error_ = 0;
};

}  // namespace vrs
