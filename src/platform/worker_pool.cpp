// SPDX-License-Identifier: MIT
#include "platform/worker_pool.h"

#include <algorithm>
#include <new>
#include <system_error>

namespace vrs {
namespace {

constexpr int kMostRequested = 64;
// One thread per core pays up to here; beyond, the memory bandwidth and the
// buffers each thread holds cost more than the threads give.
constexpr int kMostByDefault = 4;

}  // namespace

int workerCount(int requested) {
    if (requested > 0) {
        return std::min(requested, kMostRequested);
    }
    return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kMostByDefault);
}

WorkerPool::WorkerPool(int workers, std::size_t capacity)
    : states_(std::max<std::size_t>(capacity, 1), State::Free) {
    try {
        for (int i = 0; i < workers; ++i) {
            threads_.emplace_back([this, i] { work(i); });
        }
    } catch (const std::system_error&) {
        // The threads started do the work; with none, the calling thread does.
    } catch (const std::bad_alloc&) {
    }
}

WorkerPool::~WorkerPool() {
    stop();
    for (std::thread& thread : threads_) {
        thread.join();
    }
}

bool WorkerPool::run(const Task& task, int worker) {
    try {
        return task(worker);
    } catch (...) {
        return false;  // memory short, most likely: the task fails, the worker goes on
    }
}

bool WorkerPool::submit(Task task) {
    if (full()) {
        return false;
    }
    const std::size_t ticket = submitted_++;
    State& state = states_[ticket % capacity()];
    if (threads_.empty()) {
        state = run(task, 0) ? State::Succeeded : State::Failed;
        return true;
    }
    {
        const std::lock_guard lock(mutex_);
        if (stopping_) {
            state = State::Failed;
            return true;
        }
        state = State::Queued;
        queue_.push_back({ticket, std::move(task)});
    }
    queued_.notify_one();
    return true;
}

bool WorkerPool::collect() {
    if (pending() == 0) {
        return false;
    }
    std::unique_lock lock(mutex_);
    State& state = states_[collected_ % capacity()];
    done_.wait(lock, [&] { return state != State::Queued; });
    const bool ok = state == State::Succeeded;
    state = State::Free;
    ++collected_;
    return ok;
}

bool WorkerPool::collectAll() {
    bool ok = true;
    while (pending() > 0) {
        ok = collect() && ok;
    }
    return ok;
}

void WorkerPool::stop() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        for (const Queued& dropped : queue_) {
            states_[dropped.ticket % capacity()] = State::Failed;
        }
        queue_.clear();
    }
    queued_.notify_all();
    done_.notify_all();
}

void WorkerPool::work(int worker) {
    for (;;) {
        Queued next{};
        {
            std::unique_lock lock(mutex_);
            queued_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (queue_.empty()) {
                return;
            }
            next = std::move(queue_.front());
            queue_.pop_front();
        }
        const bool ok = run(next.task, worker);
        next.task = nullptr;  // what it holds goes before its result is told
        {
            const std::lock_guard lock(mutex_);
            states_[next.ticket % capacity()] = ok ? State::Succeeded : State::Failed;
        }
        done_.notify_all();
    }
}

}  // namespace vrs
