// SPDX-License-Identifier: MIT
// The one pool of worker threads: the JPEG chunks, the PNG deflate strips,
// the files of `vrstool convert -j`, the chunks of two captures compared and
// the decoder's row sharing all run on it. A fixed set of workers takes the
// tasks in the order they are submitted; the caller collects their results
// in that same order. At most `capacity` tasks are submitted and not yet
// collected, so whatever the tasks' inputs and outputs hold (a slot each,
// kept by the caller) stays bounded. A task that throws fails. A pool that
// can start no thread (or is asked for none) runs each task on the calling
// thread as it is submitted.
//
// The deep zoom's crops and a compared PNG's decoder do not run here
// (view/deep_zoom.h and compare/picture_rows.h say why).
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace vrs {

// The threads for work split `requested` ways (`vrstool convert -j`): that
// many, at most 64; with 0, one per core, at most 4.
int workerCount(int requested = 0);

class WorkerPool {
  public:
    // A task, run on worker `worker` (0 to workers() - 1; 0 when the pool
    // runs tasks on the calling thread): what one worker keeps between
    // tasks can be kept by its number. False or an exception fails it.
    using Task = std::function<bool(int worker)>;

    WorkerPool(int workers, std::size_t capacity);
    // Stops, then waits for the tasks running.
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // The threads started: fewer than asked when the system gives fewer.
    int workers() const { return static_cast<int>(threads_.size()); }
    // Tasks that may be submitted and not yet collected at once.
    std::size_t capacity() const { return states_.size(); }
    // Tasks submitted and not yet collected.
    std::size_t pending() const { return submitted_ - collected_; }
    bool full() const { return pending() == capacity(); }

    // Queues a task in the next slot; false, and nothing queued, when every
    // slot is taken: collect the oldest first.
    bool submit(Task task);
    // Waits for the oldest task not yet collected: its result, false when it
    // failed, threw or was dropped by stop().
    bool collect();
    // Collects every task pending: false when one of them failed.
    bool collectAll();
    // Drops the tasks not begun; the running ones end on their own.
    void stop();

  private:
    enum class State : unsigned char { Free, Queued, Succeeded, Failed };
    struct Queued {
        std::size_t ticket;
        Task task;
    };
    void work(int worker);
    static bool run(const Task& task, int worker);

    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable queued_;
    std::condition_variable done_;
    std::deque<Queued> queue_;   // guarded by mutex_
    std::vector<State> states_;  // guarded by mutex_; task n's in n % capacity()
    bool stopping_ = false;      // guarded by mutex_
    std::size_t submitted_ = 0;  // the calling thread's
    std::size_t collected_ = 0;  // the calling thread's
};

}  // namespace vrs
