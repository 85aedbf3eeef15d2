// SPDX-License-Identifier: MIT
#include "cli/cli_common.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>

#include "cli/shown_name.h"
#include "platform/regular_file.h"

namespace vrs::cli {

int usageError(std::string_view command, std::string_view text) {
    // What the user typed may be in it: shown as a name would be.
    const std::string message = shownName(text);
    std::fprintf(stderr, "vrstool %.*s: %.*s\nTry \"vrstool %.*s --help\".\n",
                 static_cast<int>(command.size()), command.data(), static_cast<int>(message.size()),
                 message.data(), static_cast<int>(command.size()), command.data());
    return kExitUsage;
}

int printText(std::string_view text) {
    if (std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
        std::fflush(stdout) == 0) {
        return kExitOk;
    }
    const int error = errno;
    std::clearerr(stdout);
    std::fprintf(stderr, "vrstool: standard output: %s\n", std::strerror(error));
    return kExitFailed;
}

std::string outOfMemory(std::string_view name) {
    return std::string(name) + ": not enough memory";
}

std::string openFailure(const std::string& path, int error) {
    if (error == kNotRegularFile) {
        return shownName(path) + ": not a regular file";
    }
    return shownName(path) + ": " + std::strerror(error);
}

std::string shortestNumber(double value) {
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, end) : std::string("0");
}

std::string groupedNumber(std::int64_t value) {
    std::string digits = std::to_string(value);
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), 1, ',');
    }
    return digits;
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

namespace {

// Standard input is read in steps of this many bytes, so memory grows with
// what actually arrives, never with what a header claims.
constexpr std::size_t kInputStep = std::size_t{1} << 20;

// What a header alone says, before the rows are there: inspected as if the
// file held every byte it could, so that only the header is judged.
VirtualScreenInfo inspectHeaderOnly(const std::uint8_t* header) {
    return inspectVirtualScreen(header, SIZE_MAX);
}

}  // namespace

InputFile::~InputFile() {
    if (fd_ >= 0) {
        // Only read from: its close has nothing to report.
        [[maybe_unused]] const int rc = ::close(fd_);
    }
}

bool InputFile::open(const std::string& path) {
    name_ = path == "-" ? std::string("standard input") : shownName(path);
    const bool ok = path == "-" ? readStandardInput() : openFile(path);
    if (!ok) {
        return false;
    }
    info = inspectVirtualScreen(header_, static_cast<std::size_t>(size_));
    if (info.error != LoadError::None) {
        error = name_ + ": " + describeLoadError(info);
        return false;
    }
    return true;
}

bool InputFile::openFile(const std::string& path) {
    const OpenedFile file = openRegularFile(path);
    if (file.fd < 0) {
        error = openFailure(path, file.error);
        return false;
    }
    fd_ = file.fd;
    size_ = file.size;
    stamp_ = file.stamp;
    opened_ = true;
    const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(size_, kHeaderSize));
    if (!readFully(fd_, 0, header_, length)) {
        error = changedError();
        return false;
    }
    return true;
}

// Reads the header, checks it as the loader checks a file, then reads the
// bytes its rows need and no more. A stream that ends early is a file of
// that length: the loader's own words say what is missing.
bool InputFile::readStandardInput() {
    opened_ = true;
    try {
        if (!readInput(kHeaderSize)) {
            return false;
        }
        if (size_ < kHeaderSize) {
            return true;
        }
        const VirtualScreenInfo promised = inspectHeaderOnly(header_);
        if (promised.error != LoadError::None) {
            return true;  // refused by the header alone, whatever follows
        }
        while (size_ < promised.bytesNeeded) {
            const std::uint64_t left = promised.bytesNeeded - size_;
            const auto step = static_cast<std::size_t>(std::min<std::uint64_t>(left, kInputStep));
            const std::uint64_t before = size_;
            if (!readInput(step)) {
                return false;
            }
            if (size_ == before) {
                break;  // the stream has ended
            }
        }
    } catch (const std::bad_alloc&) {
        error = outOfMemory(name_);
        return false;
    }
    return true;
}

// Appends up to `length` bytes of standard input; fewer only at its end.
bool InputFile::readInput(std::size_t length) {
    const std::size_t at = memory_.size();
    memory_.resize(at + length);
    std::size_t got = 0;
    while (got < length) {
        const ssize_t n = ::read(STDIN_FILENO, memory_.data() + at + got, length - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            error = name_ + ": " + std::strerror(errno);
            return false;
        }
        if (n == 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    memory_.resize(at + got);
    size_ = memory_.size();
    std::memcpy(header_, memory_.data(), std::min<std::size_t>(memory_.size(), kHeaderSize));
    return true;
}

PixelRows InputFile::rows() const {
    FileBytes bytes{fd_, memory_.data(), memory_.size(), {}};
    if (fd_ >= 0) {
        bytes.stamp = stamp_;
    }
    return {bytes, info.layout};
}

std::string InputFile::changedError() const {
    VirtualScreenInfo changed;
    changed.error = LoadError::ChangedWhileRead;
    return name_ + ": " + describeLoadError(changed);
}

}  // namespace vrs::cli
