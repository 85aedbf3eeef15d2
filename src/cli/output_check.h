// SPDX-License-Identifier: MIT
// The one check that keeps every vrstool output off its inputs: the same
// path, a hard link or a symbolic link to an input is refused, and so is a
// second output to one file. Files are compared by device and inode after
// following links; an output that does not exist yet by its resolved path.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace vrs::cli {

// Standard output, as an output name.
inline constexpr const char* kStandardStream = "-";

class OutputCheck {
  public:
    explicit OutputCheck(const std::vector<std::string>& inputs);
    // "" when `output` may be written for `input` (and records it), or why not.
    std::string claim(const std::string& output, const std::string& input);

  private:
    std::map<std::string, std::string> inputs_;   // identity -> input
    std::map<std::string, std::string> outputs_;  // identity -> input writing it
};

}  // namespace vrs::cli
