// SPDX-License-Identifier: MIT
// A Host without a user interface: alerts become lines on a stream (or are
// only kept), ticks come from the steady clock, the event loop has nothing to
// run and no progress window is ever made. Used by vrstool and the benchmarks.
#pragma once

#include <cstdio>
#include <string>
#include <utility>

#include "platform/host.h"

namespace vrs {

class HeadlessHost : public Host {
  public:
    // Alerts are written to `alerts` as lines, each after `prefix`; a null
    // stream keeps them silent.
    explicit HeadlessHost(std::FILE* alerts = stderr, std::string prefix = "vrstool: ")
        : alerts_(alerts), prefix_(std::move(prefix)) {}

    void alert(const std::string& message) override;
    std::uint32_t tickCount() override { return steadyTickCount(); }
    void runEventLoop(double /*seconds*/) override {}
    std::unique_ptr<ProgressWindow> makeProgressWindow() override { return nullptr; }

    // The last alert, and how many there were.
    const std::string& lastAlert() const { return lastAlert_; }
    int alertCount() const { return alertCount_; }

  private:
    std::FILE* alerts_;
    std::string prefix_;
    std::string lastAlert_;
    int alertCount_ = 0;
};

}  // namespace vrs
