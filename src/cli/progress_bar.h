// SPDX-License-Identifier: MIT
// A progress bar on standard error for a batch of files, redrawn by its own
// thread ten times a second while the workers count rows. Lines printed
// through it clear the bar first, so messages and bar never mix. When
// standard error is not a terminal there is no bar and lines go out as they are.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace vrs::cli {

class ProgressBar {
  public:
    ProgressBar(bool visible, std::size_t files);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // File `index` will take `units` steps (rows read); each row adds one.
    void start(std::size_t index, std::int64_t units);
    void step(std::size_t index) { slots_[index].done.fetch_add(1, std::memory_order_relaxed); }
    void finish(std::size_t index);
    // Prints one line on standard error.
    void printLine(const std::string& line);

  private:
    struct Slot {
        std::atomic<std::int64_t> done{0};
        std::atomic<std::int64_t> units{0};
        std::atomic<bool> finished{false};
    };
    void run();
    void draw();   // with mutex_ held
    void clear();  // with mutex_ held

    const bool visible_;
    const std::size_t files_;
    std::unique_ptr<Slot[]> slots_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    bool drawn_ = false;
    std::thread thread_;
};

}  // namespace vrs::cli
