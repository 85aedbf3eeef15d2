// SPDX-License-Identifier: MIT
// A Host that keeps the alerts it is given instead of showing them, and
// passes everything else on: for a load whose refusal is shown in its own
// window rather than in a message box that would hold up other files.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/host.h"

class RecordingHost : public vrs::Host {
  public:
    explicit RecordingHost(vrs::Host& host) : host_(host) {}

    void alert(const std::string& message) override { messages_.push_back(message); }
    std::uint32_t tickCount() override { return host_.tickCount(); }
    void runEventLoop(double seconds) override { host_.runEventLoop(seconds); }
    std::unique_ptr<vrs::ProgressWindow> makeProgressWindow() override {
        return host_.makeProgressWindow();
    }

    const std::vector<std::string>& messages() const { return messages_; }

  private:
    vrs::Host& host_;
    std::vector<std::string> messages_;
};
