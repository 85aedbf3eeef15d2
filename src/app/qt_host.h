// SPDX-License-Identifier: MIT
// The viewer's Host: alerts as modal message boxes, a steady tick clock, turns
// of Qt's event loop that paint but keep user input waiting, and progress
// windows. The clock and the alert can be replaced (tests).
#pragma once

#include <QString>
#include <cstdint>
#include <functional>

#include "platform/host.h"

class QtHost : public vrs::Host {
  public:
    using Clock = std::function<std::uint32_t()>;
    using AlertFunction = std::function<void(const QString& message)>;

    explicit QtHost(Clock clock = vrs::steadyTickCount);

    void alert(const std::string& message) override;
    std::uint32_t tickCount() override;
    void runEventLoop(double seconds) override;
    std::unique_ptr<vrs::ProgressWindow> makeProgressWindow() override;

    // Replaces the message box; an empty function restores it.
    void setAlertFunction(AlertFunction alertFunction);
    // The message box itself: empty title, the message, one "OK" button.
    static void showAlert(const QString& message);

  private:
    Clock clock_;
    AlertFunction alertFunction_;
};
