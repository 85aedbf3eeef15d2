// SPDX-License-Identifier: MIT
#include "platform/output_target.h"

#include <unistd.h>

#include <cerrno>

namespace vrs {
namespace {

constexpr int kMaxLinks = 40;  // the kernel's own limit on a chain of links

TargetKind kindOf(mode_t mode) {
    if (S_ISREG(mode)) {
        return TargetKind::Regular;
    }
    if (S_ISCHR(mode) || S_ISFIFO(mode)) {
        return TargetKind::Stream;
    }
    return S_ISDIR(mode) ? TargetKind::Directory : TargetKind::Unsupported;
}

}  // namespace

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

int resolveOutput(const std::string& path, OutputTarget* out) {
    std::string current = path;
    for (int hops = 0; hops <= kMaxLinks; ++hops) {
        struct stat st {};
        if (lstat(current.c_str(), &st) != 0) {
            if (errno != ENOENT) {
                return errno;
            }
            *out = {current, TargetKind::Missing, {}};
            return 0;
        }
        if (!S_ISLNK(st.st_mode)) {
            *out = {current, kindOf(st.st_mode), st};
            return 0;
        }
        char link[4096];
        const ssize_t n = readlink(current.c_str(), link, sizeof link);
        if (n < 0) {
            return errno;
        }
        if (static_cast<std::size_t>(n) == sizeof link) {
            return ENAMETOOLONG;
        }
        if (n == 0) {
            return ENOENT;
        }
        const std::string target(link, static_cast<std::size_t>(n));
        // A relative link is relative to the folder that holds it.
        current = target.front() == '/' ? target : folderOf(current) + "/" + target;
    }
    return ELOOP;
}

}  // namespace vrs
