// What vrstool's commands share: exit codes, usage errors, number parsing
// and opening an input file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "export/file_rows.h"
#include "platform/mapped_file.h"
#include "vrscreen/loader.h"

namespace vrs::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// Prints "vrstool COMMAND: MESSAGE" and a hint to --help on stderr; returns 2.
int usageError(std::string_view command, std::string_view message);

// A whole decimal number within [min, max], nothing else.
bool parseNumber(std::string_view text, std::int64_t min, std::int64_t max, std::int64_t* out);

// True for "--help" among the arguments (before any "--").
bool wantsHelp(int argc, char** argv);

// An input file, mapped read-only and checked.
struct InputFile {
    MappedFile mapped;
    VirtualScreenInfo info;
    std::string error;  // why it cannot be read ("" when it can)

    bool open(const std::string& path);  // false when it cannot be read
    PixelRows rows() const;
};

}  // namespace vrs::cli
