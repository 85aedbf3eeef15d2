// SPDX-License-Identifier: MIT
#include "cli/output_check.h"

#include <sys/stat.h>
#include <unistd.h>

#include "cli/shown_name.h"
#include "platform/file_identity.h"

namespace vrs::cli {
namespace {

// fileIdentity, except that "-" as an input is standard input, whatever
// file it was redirected from.
std::string identity(const std::string& path, bool input) {
    if (input && path == kStandardStream) {
        struct stat st {};
        return fstat(STDIN_FILENO, &st) == 0 ? fileIdentity("/dev/fd/0") : "standard input";
    }
    return fileIdentity(path);
}

}  // namespace

OutputCheck::OutputCheck(const std::vector<std::string>& inputs) {
    for (const std::string& f : inputs) {
        inputs_.emplace(identity(f, true), f);
    }
}

std::string OutputCheck::claim(const std::string& output, const std::string& input) {
    if (output == kStandardStream) {
        // Standard output may be open onto an input, whatever its mode
        // (1<>in.vrs, >>in.vrs): refused before anything is written.
        const std::string id = regularFileIdentity(STDOUT_FILENO);
        if (const auto in = inputs_.find(id); !id.empty() && in != inputs_.end()) {
            return "standard output is the input file " + shownName(in->second);
        }
        return {};
    }
    const std::string id = identity(output, false);
    if (const auto in = inputs_.find(id); in != inputs_.end()) {
        return shownName(output) + " is the input file " + shownName(in->second);
    }
    if (const auto other = outputs_.find(id); other != outputs_.end()) {
        return shownName(output) + " is already written for " + shownName(other->second);
    }
    outputs_.emplace(id, input);
    return {};
}

}  // namespace vrs::cli
