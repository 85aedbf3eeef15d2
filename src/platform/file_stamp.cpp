// SPDX-License-Identifier: MIT
#include "platform/file_stamp.h"

namespace vrs {

FileStamp stampOf(const struct stat& st) {
    FileStamp s;
    s.device = static_cast<std::uint64_t>(st.st_dev);
    s.inode = static_cast<std::uint64_t>(st.st_ino);
    s.size = static_cast<std::int64_t>(st.st_size);
    s.modifiedSeconds = static_cast<std::int64_t>(st.st_mtim.tv_sec);
    s.modifiedNanoseconds = static_cast<std::int64_t>(st.st_mtim.tv_nsec);
    s.changedSeconds = static_cast<std::int64_t>(st.st_ctim.tv_sec);
    s.changedNanoseconds = static_cast<std::int64_t>(st.st_ctim.tv_nsec);
    return s;
}

bool stampDescriptor(int fd, FileStamp* out) {
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        return false;
    }
    *out = stampOf(st);
    return true;
}

bool stampPath(const std::string& path, FileStamp* out) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        return false;
    }
    *out = stampOf(st);
    return true;
}

}  // namespace vrs
