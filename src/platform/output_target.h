// SPDX-License-Identifier: MIT
// What an output path names: the file a chain of symbolic links finally
// points to, and what kind of file is there.
#pragma once

#include <sys/stat.h>

#include <string>

namespace vrs {

enum class TargetKind {
    Missing,      // nothing there yet: a new file is made
    Regular,      // replaced by rename
    Stream,       // a character device or FIFO, or a file open as one of our
                  // descriptors (/dev/stdout): written straight through
    Directory,    // never written
    Unsupported,  // a socket or block device: never written
};

struct OutputTarget {
    std::string path;  // the path with every symbolic link followed
    TargetKind kind = TargetKind::Missing;
    struct stat st {};  // valid unless kind is Missing
};

// Follows `path`'s symbolic links (a dangling link names the file it would
// make). Returns 0 or an errno (ELOOP, ENAMETOOLONG, EACCES, ...).
int resolveOutput(const std::string& path, OutputTarget* out);

// True when `path` is, or links to, a character device or a FIFO, or is a
// link to a descriptor of ours (/dev/stdout, /dev/fd/N): such a name is
// written to as it is, never given an extension or replaced.
bool namesStream(const std::string& path);

// The folder of a path: "." for a bare name, "/" for a name in the root.
std::string folderOf(const std::string& path);

}  // namespace vrs
