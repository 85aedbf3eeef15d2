// SPDX-License-Identifier: MIT
#include "cli/output_check.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace vrs::cli {
namespace {

std::string inode(const struct stat& st) {
    return "inode " + std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
}

// The same file on the disk, or the same path where no file is yet. "-"
// as an input is standard input, whatever file it was redirected from.
std::string identity(const std::string& path, bool input) {
    struct stat st {};
    if (input && path == kStandardStream) {
        return fstat(STDIN_FILENO, &st) == 0 ? inode(st) : "standard input";
    }
    if (stat(path.c_str(), &st) == 0) {
        return inode(st);
    }
    std::error_code ec;
    const auto resolved = std::filesystem::weakly_canonical(path, ec);
    return "path " + (ec ? path : resolved.string());
}

}  // namespace

OutputCheck::OutputCheck(const std::vector<std::string>& inputs) {
    for (const std::string& f : inputs) {
        inputs_.emplace(identity(f, true), f);
    }
}

std::string OutputCheck::claim(const std::string& output, const std::string& input) {
    if (output == kStandardStream) {
        return {};
    }
    const std::string id = identity(output, false);
    if (const auto in = inputs_.find(id); in != inputs_.end()) {
        return output + " is the input file " + in->second;
    }
    if (const auto other = outputs_.find(id); other != outputs_.end()) {
        return output + " is already written for " + other->second;
    }
    outputs_.emplace(id, input);
    return {};
}

}  // namespace vrs::cli
