// SPDX-License-Identifier: MIT
// Telling whether two names are one file, for the rule that no writer ever
// writes onto a file it reads or shows: the same name, a hard link and a
// symbolic link to it are all the same file. Files are compared by device and
// inode after following links; a name where nothing is yet by its path made
// absolute with its links resolved.
#pragma once

#include <string>

namespace vrs {

// What `path` names, as a string that is equal for two names of one file.
std::string fileIdentity(const std::string& path);

// What an open descriptor refers to, as fileIdentity says it, when it is a
// regular file; "" for anything else (a pipe, a terminal, a device).
std::string regularFileIdentity(int fd);

// True when writing `output` would write onto the file `file` names.
bool sameFile(const std::string& output, const std::string& file);

}  // namespace vrs
