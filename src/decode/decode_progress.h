// SPDX-License-Identifier: MIT
// The progress rule of a 16-bit decode: nothing while the decode is young, a
// progress window when it turns out slow early enough, and a counter of the
// updates shown. Other long jobs that follow the same rule (the viewer's
// comparison) give their window a title of their own.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/host.h"

namespace vrs {

class DecodeProgress {
  public:
    // Records the start tick. `counter` may be null, which counts as 0.
    DecodeProgress(Host& host, std::int64_t* counter, std::int64_t width, std::int64_t height,
                   std::string title = "data to image");
    DecodeProgress(const DecodeProgress&) = delete;
    DecodeProgress& operator=(const DecodeProgress&) = delete;
    ~DecodeProgress() = default;  // releasing the window takes it off the screen

    // Called after source row y has been decoded.
    void afterRow(std::int64_t y);
    // Releases the window, if one was made.
    void finish() { window_.reset(); }

  private:
    void show(int step);

    static constexpr int kSteps = 300;
    static constexpr std::int32_t kQuietTicks = 61;

    Host& host_;
    std::int64_t* counter_;
    std::int64_t width_;
    std::int64_t height_;
    std::uint32_t start_;
    int lastStep_ = -1;
    std::int64_t done_ = 0;
    float total_;
    std::string title_;
    std::unique_ptr<ProgressWindow> window_;
};

}  // namespace vrs
