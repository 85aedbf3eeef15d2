// SPDX-License-Identifier: MIT
// What the plugin tests share: sample files and running vrstool to get the
// pictures the plugins must match.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "vrs_writer.h"

namespace vrs::testing {

// Runs a program with `args`; true when it exits with 0.
bool runProgram(const std::vector<std::string>& args);

// The sample picture (three coloured corner marks) in a file of this layout.
std::filesystem::path writeSample(const std::filesystem::path& dir, const std::string& name,
                                  VrsLayout layout);

// The loader's corpus: every file whose name starts with `prefix`.
std::vector<std::filesystem::path> corpusFiles(const std::string& prefix);

}  // namespace vrs::testing
