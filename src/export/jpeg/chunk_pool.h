// SPDX-License-Identifier: MIT
// Threads that run one task on numbered chunks, in the order submitted; the
// caller waits for each chunk's result. A task that throws fails its chunk.
// The destructor lets running tasks end, drops the rest and joins every thread.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace vrs {

// The number of threads for this machine: one per core, at most 4.
int chunkWorkers();

class ChunkPool {
  public:
    ChunkPool(std::size_t chunks, std::function<bool(std::size_t)> task);
    ~ChunkPool();
    ChunkPool(const ChunkPool&) = delete;
    ChunkPool& operator=(const ChunkPool&) = delete;

    // False when the threads cannot be started.
    bool start(int workers);
    void submit(std::size_t chunk);
    // Waits for a submitted chunk; its task's result.
    bool wait(std::size_t chunk);

  private:
    enum class State : unsigned char { Waiting, Succeeded, Failed };
    void workerLoop();

    std::function<bool(std::size_t)> task_;
    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable workReady_;
    std::condition_variable chunkDone_;
    std::deque<std::size_t> pending_;  // guarded by mutex_
    std::vector<State> states_;        // guarded by mutex_
    bool stop_ = false;                // guarded by mutex_
};

}  // namespace vrs
