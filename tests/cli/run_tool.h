// SPDX-License-Identifier: MIT
// Runs vrstool as a child process and collects what it printed.
#pragma once

#include <QImage>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "decode/image.h"

namespace vrs::testing {

struct ToolRun {
    int status = -1;  // exit status, or -1 when it did not exit normally
    std::string out;
    std::string err;
    long peakKiB = 0;  // the peak resident memory of vrstool itself
};

// Memory a sanitizer's runtime adds to a child's peak, on top of the tool's
// own: memory bounds leave room for it.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr long kSanitizerKiB = 64 * 1024;
#else
inline constexpr long kSanitizerKiB = 0;
#endif

// Runs vrstool with `args` in `dir`; withoutHome removes HOME from its
// environment; standard input comes from `input` (a path in dir) when given.
// A run still going after a minute is killed, so a hang fails instead.
ToolRun runTool(const std::vector<std::string>& args, const std::filesystem::path& dir,
                bool withoutHome = false, const std::string& input = {});

// Starts vrstool in `dir` with its output discarded; returns its process id.
int startTool(const std::vector<std::string>& args, const std::filesystem::path& dir);

// The decoder's full image and view image of a file, as the viewer loads it.
struct Decoded {
    std::shared_ptr<Image> full;
    std::shared_ptr<Image> view;
};
Decoded decodeFile(const std::filesystem::path& file);

// A picture file read back with Qt, as 8-bit RGB; null when unreadable.
QImage readPicture(const std::filesystem::path& file);
// Pixels that differ between a read-back picture and an image; -1 when sizes differ.
std::int64_t differingPixels(const QImage& picture, const Image& image);

}  // namespace vrs::testing
