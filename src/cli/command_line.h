// SPDX-License-Identifier: MIT
// A command's options, parsed by CLI11 in GNU style: "-o OUT", "-oOUT",
// "--output OUT", "--output=OUT", grouped flags ("-qj2"), "--" ending the
// options, and "-" read as a file name. A repeated option keeps its last value.
// Usage errors are worded "vrstool COMMAND: MESSAGE" by usageError().
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace vrs::cli {

class CommandLine {
  public:
    explicit CommandLine(std::string command);
    ~CommandLine();
    CommandLine(const CommandLine&) = delete;
    CommandLine& operator=(const CommandLine&) = delete;

    // names: "-o,--output" style.
    void flag(const std::string& names, bool* value);
    void option(const std::string& names, std::string* value);
    // An option that may be given more than once: every value, in order.
    void options(const std::string& names, std::vector<std::string>* values);
    // Every argument that is not an option, in order.
    void operands(std::vector<std::string>* values);

    // Returns 0, or prints the usage error and returns its exit status.
    int parse(int argc, char** argv);

  private:
    struct Parser;
    std::string command_;
    std::unique_ptr<Parser> parser_;
};

}  // namespace vrs::cli
