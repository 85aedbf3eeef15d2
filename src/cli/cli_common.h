// SPDX-License-Identifier: MIT
// What vrstool's commands share: exit codes, usage errors, number parsing
// and opening an input file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "decode/file_rows.h"
#include "vrscreen/header.h"
#include "vrscreen/loader.h"

namespace vrs::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// Prints "vrstool COMMAND: MESSAGE" and a hint to --help on stderr; returns 2.
// A message holding control characters is shown quoted, as a name would be.
int usageError(std::string_view command, std::string_view message);

// Writes a help or version text on standard output; a failed write (a full
// disk, a closed pipe) is told on standard error and gives 1, else 0.
int printText(std::string_view text);

// "NAME: not enough memory", the one wording of a failed allocation, for a
// name as shownName gives it.
std::string outOfMemory(std::string_view name);

// "PATH: why" for a file that could not be opened for reading: `error` as
// OpenedFile gives it.
std::string openFailure(const std::string& path, int error);

// The shortest text that reads back as the same double.
std::string shortestNumber(double value);

// 1572864 -> "1,572,864".
std::string groupedNumber(std::int64_t value);

// A whole decimal number within [min, max], nothing else.
bool parseNumber(std::string_view text, std::int64_t min, std::int64_t max, std::int64_t* out);

// True for "--help" among the arguments (before any "--").
bool wantsHelp(int argc, char** argv);

// An input file: a regular file, read with pread as its rows are needed, or
// "-", standard input, read into memory up to the bytes its header needs.
// Anything else (a pipe by name, a device, a folder) is refused at once.
class InputFile {
  public:
    InputFile() = default;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile();

    bool open(const std::string& path);  // false when it cannot be read; error says why
    PixelRows rows() const;
    // The header's bytes (fewer than kHeaderSize for a short file), or null when the
    // file could not be opened at all.
    const std::uint8_t* header() const { return opened_ ? header_ : nullptr; }
    std::uint64_t size() const { return size_; }
    // "NAME: changed while it was being read", for a read that came up short.
    std::string changedError() const;

    VirtualScreenInfo info;
    std::string error;  // why it cannot be read ("" when it can)

  private:
    bool openFile(const std::string& path);
    bool readStandardInput();
    bool readInput(std::size_t length);

    std::string name_;  // as shown in messages
    int fd_ = -1;
    std::vector<std::uint8_t> memory_;  // standard input's bytes
    std::uint8_t header_[kHeaderSize] = {};
    std::uint64_t size_ = 0;
    FileStamp stamp_;  // a regular file's, as it was opened
    bool opened_ = false;
};

}  // namespace vrs::cli
