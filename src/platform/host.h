// SPDX-License-Identifier: MIT
// The seam through which the core reaches a user interface: alerts, the tick
// clock, turns of the event loop and progress windows. The viewer implements
// it with Qt, vrstool with the terminal, the tests with recorders.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vrs {

// A progress window as the core drives it. It is on the screen from creation
// until destruction.
class ProgressWindow {
  public:
    virtual ~ProgressWindow() = default;
    virtual void setTitle(std::string_view title) = 0;
    // Redraws the window at once.
    virtual void display() = 0;
    virtual void setMaxValue(double max) = 0;
    virtual void setDoubleValue(double value) = 0;
    virtual void setIndeterminate(bool indeterminate) = 0;
    virtual void startAnimation() = 0;
};

class Host {
  public:
    virtual ~Host() = default;
    // A modal message with one "OK" button; returns when dismissed.
    virtual void alert(const std::string& message) = 0;
    // Ticks of 1/60 s from a steady clock; wraps at 2^32.
    virtual std::uint32_t tickCount() = 0;
    // Lets the user interface handle pending events for at most `seconds`.
    virtual void runEventLoop(double seconds) = 0;
    // A new progress window on the screen, or null when none can be made.
    virtual std::unique_ptr<ProgressWindow> makeProgressWindow() = 0;
};

// Ticks since the first call, from std::chrono::steady_clock.
std::uint32_t steadyTickCount();

}  // namespace vrs
