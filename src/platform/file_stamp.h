// SPDX-License-Identifier: MIT
// A file's identity and change times, to tell a file that changed while it
// was read: taken before the first byte is read and compared after the last,
// it differs when the file was rewritten in place (even at the same size),
// replaced, or cut short meanwhile.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <string>

namespace vrs {

struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    std::int64_t changedSeconds = 0;
    std::int64_t changedNanoseconds = 0;

    bool operator==(const FileStamp&) const = default;
};

FileStamp stampOf(const struct stat& st);
// The stamp of an open file, or of the file a path names (links followed).
// False when it cannot be taken.
bool stampDescriptor(int fd, FileStamp* out);
bool stampPath(const std::string& path, FileStamp* out);

}  // namespace vrs
