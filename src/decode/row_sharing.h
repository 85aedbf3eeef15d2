// SPDX-License-Identifier: MIT
// Shares the rows of a big picture between the calling thread, which takes
// them from the top, and a helper thread, which takes them from the bottom,
// a chunk at a time, until the two meet. Every row is taken exactly once.
//
// The decoder has both threads decode the rows they take, each having the
// kernel back its rows' memory first: the page faults of a fresh picture,
// which cost several times the decoding itself, are taken on two
// processors. A 16-bit decode counts its progress in row order, so the
// calling thread counts the helper's rows once the helper has stopped.
// The helper is the one worker of a WorkerPool of its own: started per
// picture, it takes one task, the loop over the bottom chunks.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

#include "platform/worker_pool.h"

namespace vrs {

struct RowRange {
    std::int64_t first = 0;
    std::int64_t end = 0;
    bool empty() const { return first >= end; }
};

class RowSharing {
  public:
    // What the helper does with the rows it takes; false stops it.
    using Work = std::function<bool(RowRange rows)>;

    // Shares `rows` rows in chunks of `chunk`. Starts the helper only when
    // `start` is true; without one (or when no thread can be had) the calling
    // thread takes every row.
    RowSharing(std::int64_t rows, std::int64_t chunk, Work work, bool start);
    RowSharing(const RowSharing&) = delete;
    RowSharing& operator=(const RowSharing&) = delete;
    // Leaves the helper nothing more to take, then waits for it.
    ~RowSharing();

    // Whether a helper pays for its start on a picture: a few megabytes
    // fault in less time than a thread takes to start, and one processor
    // cannot take faults in parallel.
    static bool worthwhile(std::int64_t width, std::int64_t height, unsigned processors);
    // Rows per chunk for a picture `width` pixels wide: about a megabyte of
    // plane rows, so that taking a chunk costs nothing beside its work.
    static std::int64_t chunkRows(std::int64_t width);

    // The calling thread's next chunk, from the top; empty once the helper
    // has taken the rest.
    RowRange takeTop();

    // Waits for the helper to stop and returns the rows it took.
    std::int64_t finish();

  private:
    RowRange takeBottom();
    void run();

    std::int64_t chunk_;
    Work work_;
    std::mutex mutex_;
    std::int64_t top_ = 0;     // rows [top_, bottom_) are still to be taken
    std::int64_t bottom_ = 0;  // guarded by mutex_
    std::int64_t helped_ = 0;  // written by the helper, read once it is collected
    std::optional<WorkerPool> helper_;
};

}  // namespace vrs
