// SPDX-License-Identifier: MIT
#include "export/jpeg/chunk_pool.h"

#include <algorithm>
#include <new>
#include <system_error>

namespace vrs {

int chunkWorkers() {
    return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 4);
}

ChunkPool::ChunkPool(std::size_t chunks, std::function<bool(std::size_t)> task)
    : task_(std::move(task)), states_(chunks, State::Waiting) {}

ChunkPool::~ChunkPool() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
        pending_.clear();
    }
    workReady_.notify_all();
    for (auto& thread : threads_) {
        thread.join();
    }
}

bool ChunkPool::start(int workers) {
    try {
        for (int i = 0; i < workers; ++i) {
            threads_.emplace_back([this] { workerLoop(); });
        }
    } catch (const std::system_error&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
    return !threads_.empty();
}

void ChunkPool::submit(std::size_t chunk) {
    {
        std::lock_guard lock(mutex_);
        pending_.push_back(chunk);
    }
    workReady_.notify_one();
}

bool ChunkPool::wait(std::size_t chunk) {
    std::unique_lock lock(mutex_);
    chunkDone_.wait(lock, [&] { return states_[chunk] != State::Waiting; });
    return states_[chunk] == State::Succeeded;
}

void ChunkPool::workerLoop() {
    for (;;) {
        std::size_t chunk = 0;
        {
            std::unique_lock lock(mutex_);
            workReady_.wait(lock, [this] { return stop_ || !pending_.empty(); });
            if (pending_.empty()) {
                return;
            }
            chunk = pending_.front();
            pending_.pop_front();
        }
        bool ok = false;
        try {
            ok = task_(chunk);
        } catch (...) {
            ok = false;  // memory short: the chunk fails, the thread goes on
        }
        {
            std::lock_guard lock(mutex_);
            states_[chunk] = ok ? State::Succeeded : State::Failed;
        }
        chunkDone_.notify_all();
    }
}

}  // namespace vrs
