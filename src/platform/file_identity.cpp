// SPDX-License-Identifier: MIT
#include "platform/file_identity.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

namespace vrs {

namespace {

std::string inodeIdentity(const struct stat& st) {
    return "inode " + std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
}

}  // namespace

std::string fileIdentity(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) == 0) {
        return inodeIdentity(st);
    }
    std::error_code ec;
    const auto resolved = std::filesystem::weakly_canonical(path, ec);
    return "path " + (ec ? path : resolved.string());
}

std::string regularFileIdentity(int fd) {
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        return {};
    }
    return inodeIdentity(st);
}

bool sameFile(const std::string& output, const std::string& file) {
    return fileIdentity(output) == fileIdentity(file);
}

}  // namespace vrs
