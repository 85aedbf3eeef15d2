#include "cli/cli_common.h"

#include <charconv>
#include <cstdio>
#include <cstring>

#include "vrscreen/header.h"

namespace vrs::cli {

int usageError(std::string_view command, std::string_view message) {
    std::fprintf(stderr, "vrstool %.*s: %.*s\nTry \"vrstool %.*s --help\".\n",
                 static_cast<int>(command.size()), command.data(), static_cast<int>(message.size()),
                 message.data(), static_cast<int>(command.size()), command.data());
    return kExitUsage;
}

bool parseNumber(std::string_view text, std::int64_t min, std::int64_t max, std::int64_t* out) {
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < min || value > max) {
        return false;
    }
    *out = value;
    return true;
}

bool wantsHelp(int argc, char** argv) {
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) {
            return false;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            return true;
        }
    }
    return false;
}

bool InputFile::open(const std::string& path) {
    if (!mapped.open(path)) {
        error = mapped.error();
        return false;
    }
    info = inspectVirtualScreen(mapped.data(), mapped.size());
    error = info.error == LoadError::None ? std::string() : path + ": " + describeLoadError(info);
    return error.empty();
}

PixelRows InputFile::rows() const {
    return {mapped.data(), mapped.size(), mapped.data() + kHeaderSize, info.width, info.height,
            info.depth,    info.stride};
}

}  // namespace vrs::cli
