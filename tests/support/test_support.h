// SPDX-License-Identifier: MIT
// Shared test helpers: a Host that records what the core asks of it, with a
// fake tick clock, and a scratch directory.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/host.h"
#include "vrs_writer.h"

namespace vrs::testing {

// Everything a recording progress window was asked to do, in order.
struct ProgressLog {
    int created = 0;
    int destroyed = 0;
    std::vector<std::string> titles;
    std::vector<double> values;
    double maxValue = 0;
    bool indeterminate = false;
    bool animating = false;
    int displays = 0;
    bool open() const { return created > destroyed; }
};

class RecordingHost : public Host {
  public:
    void alert(const std::string& message) override { alerts.push_back(message); }
    // Each call returns the current fake tick, then advances it by ticksPerCall.
    std::uint32_t tickCount() override;
    void runEventLoop(double seconds) override;
    std::unique_ptr<ProgressWindow> makeProgressWindow() override;

    std::vector<std::string> alerts;
    std::vector<double> eventLoopTurns;
    ProgressLog progress;
    std::uint32_t tick = 0;
    std::uint32_t ticksPerCall = 0;
    // Called on every tickCount(), before it returns: lets a test move the clock.
    std::function<void(RecordingHost&)> onTick;
    bool refuseProgressWindows = false;
};

// A fresh empty directory, removed when the object goes.
class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

std::vector<std::uint8_t> readFile(const std::filesystem::path& p);
bool writeFile(const std::filesystem::path& p, const std::vector<std::uint8_t>& bytes);
// The names in a directory, sorted.
std::vector<std::string> entries(const std::filesystem::path& dir);

// The arguments of a program as execv takes them: pointers into `args`,
// then null.
std::vector<char*> argvOf(const std::vector<std::string>& args);

// A real 32 x 32 capture of 32 bits in 4,292 bytes (4 KB of rows), and the
// claim of hostile files of as many bytes: 2147483647 rows of 4096 bytes, of
// depth 0 (8188 pixels wide) or 32 (1024 wide).
VrsLayout fourKilobyteCapture();
VrsLayout hostileClaim(std::int32_t depth);

// A file whose header claims every row of `layout` but that holds only its
// header and the first `held` bytes of rows (zeros): the rest is a hole, of
// the length the rows need. False when it cannot be made.
bool writeSparseCapture(const std::filesystem::path& p, const VrsLayout& layout,
                        std::uint64_t held);

// The processor time (user and system, in seconds) a forked child spends on
// `work`, which it runs `times` times: the measure of work for hostile files,
// compared as a ratio with a normal file's, never with a clock. The child is
// stopped after kProcessorLimit seconds of it, so that work out of all
// proportion fails instead of hanging; -1 then, or when the child crashed.
inline constexpr int kProcessorLimit = 30;
double childProcessorSeconds(const std::function<void()>& work, int times = 1);
// The same for a program run with `args` (and its standard output and error
// thrown away); -1 when it was stopped or crashed, whatever its exit status.
double programProcessorSeconds(const std::vector<std::string>& args);

}  // namespace vrs::testing
