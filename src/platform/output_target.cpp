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

namespace {

bool startsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

// True when `path`, or a link on the way from it, is one of the process's
// open descriptors (/dev/stdout -> /proc/self/fd/1).
bool namesDescriptor(const std::string& path) {
    std::string current = path;
    for (int hops = 0; hops <= kMaxLinks; ++hops) {
        if (startsWith(current, "/proc/self/fd/") || startsWith(current, "/dev/fd/")) {
            return true;
        }
        char link[4096];
        const ssize_t n = readlink(current.c_str(), link, sizeof link);
        if (n <= 0 || static_cast<std::size_t>(n) == sizeof link) {
            return false;  // not a link (or none we can follow)
        }
        const std::string target(link, static_cast<std::size_t>(n));
        current = target.front() == '/' ? target : folderOf(current) + "/" + target;
    }
    return false;
}

// A stream by its kind, or an open descriptor's file (kept open by the
// caller, written to at its end, never replaced).
bool streamAt(const std::string& path, struct stat* st) {
    if (stat(path.c_str(), st) != 0) {
        return false;
    }
    const TargetKind kind = kindOf(st->st_mode);
    return kind == TargetKind::Stream || (kind == TargetKind::Regular && namesDescriptor(path));
}

}  // namespace

bool namesStream(const std::string& path) {
    struct stat st {};
    return streamAt(path, &st);
}

int resolveOutput(const std::string& path, OutputTarget* out) {
    // The kernel's own links (/dev/stdout -> /proc/self/fd/1 -> "pipe:[...]")
    // name no file a path could reach; the stream they lead to is written.
    if (struct stat st{}; streamAt(path, &st)) {
        *out = {path, TargetKind::Stream, st};
        return 0;
    }
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
