// SPDX-License-Identifier: MIT
#include "platform/worker_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <stdexcept>
#include <vector>

namespace vrs {
namespace {

// Results come back in the order submitted, whichever task ends first: the
// first task waits until every later one has run.
TEST(WorkerPoolTest, ResultsComeBackInTheOrderSubmitted) {
    constexpr int kTasks = 6;
    WorkerPool pool(3, kTasks);
    ASSERT_EQ(pool.workers(), 3);
    std::promise<void> othersDone;
    std::atomic<int> others{0};
    std::vector<int> ranOn(kTasks, -1);
    pool.submit([&](int worker) {
        othersDone.get_future().wait();
        ranOn[0] = worker;
        return true;
    });
    for (int t = 1; t < kTasks; ++t) {
        pool.submit([&, t](int worker) {
            ranOn[static_cast<std::size_t>(t)] = worker;
            if (++others == kTasks - 1) {
                othersDone.set_value();
            }
            return t % 2 == 0;  // the task's number tells its result
        });
    }
    std::vector<bool> results;
    while (pool.pending() > 0) {
        results.push_back(pool.collect());
    }
    EXPECT_EQ(results, (std::vector<bool>{true, false, true, false, true, false}));
    for (const int worker : ranOn) {
        EXPECT_TRUE(worker >= 0 && worker < 3) << worker;
    }
}

// No more tasks than slots are submitted and not collected; a task that
// throws fails alone, and the worker goes on with the next.
TEST(WorkerPoolTest, SlotsBoundTheTasksAndAThrowingTaskFailsAlone) {
    WorkerPool pool(2, 2);
    EXPECT_TRUE(pool.submit([](int) -> bool { throw std::runtime_error("short of memory"); }));
    EXPECT_TRUE(pool.submit([](int) { return true; }));
    EXPECT_TRUE(pool.full());
    EXPECT_FALSE(pool.submit([](int) { return true; }));
    EXPECT_FALSE(pool.collect());  // the one that threw
    EXPECT_TRUE(pool.submit([](int) { return true; }));
    EXPECT_TRUE(pool.collect());
    EXPECT_TRUE(pool.collect());
    EXPECT_EQ(pool.pending(), 0u);
    EXPECT_FALSE(pool.collect());  // nothing left to collect
}

// Stopped while a task runs: the tasks not begun never run and fail, the
// running one ends, and the pool then goes without waiting for more.
TEST(WorkerPoolTest, StopDropsTheTasksNotBegunAndLetsTheRunningOneEnd) {
    std::promise<void> started;
    std::promise<void> release;
    std::atomic<int> laterRan{0};
    bool firstEnded = false;
    {
        WorkerPool pool(1, 4);
        pool.submit([&](int) {
            started.set_value();
            release.get_future().wait();
            firstEnded = true;
            return true;
        });
        for (int t = 0; t < 3; ++t) {
            pool.submit([&](int) {
                ++laterRan;
                return true;
            });
        }
        started.get_future().wait();
        pool.stop();
        release.set_value();
        EXPECT_TRUE(pool.collect());
        EXPECT_FALSE(pool.collect());
        EXPECT_TRUE(pool.submit([&](int) {
            ++laterRan;
            return true;
        }));
        EXPECT_EQ(pool.pending(), 3u);
    }
    EXPECT_TRUE(firstEnded);
    EXPECT_EQ(laterRan.load(), 0);
}

// Without threads the calling thread runs each task as it is submitted.
TEST(WorkerPoolTest, WithoutWorkersTheCallerRunsEachTaskAtOnce) {
    WorkerPool pool(0, 1);
    EXPECT_EQ(pool.workers(), 0);
    int ran = -1;
    pool.submit([&](int worker) {
        ran = worker;
        return false;
    });
    EXPECT_EQ(ran, 0);
    EXPECT_FALSE(pool.collect());
    EXPECT_EQ(workerCount(3), 3);
    EXPECT_EQ(workerCount(1000), 64);
    EXPECT_GE(workerCount(), 1);
    EXPECT_LE(workerCount(), 4);
}

}  // namespace
}  // namespace vrs
