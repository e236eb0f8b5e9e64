// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/ThreadPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

namespace panelflow {
namespace {

TEST(ThreadPool, EveryIndexRunsOnceOnAWorkerOfThePool) {
    ThreadPool pool(3);
    std::vector<std::atomic<int>> runs(1000);
    std::atomic<unsigned> highestWorker{0};
    pool.ParallelFor(1000, [&](long index, unsigned worker) {
        ++runs[static_cast<std::size_t>(index)];
        unsigned seen = highestWorker.load();
        while (worker > seen && !highestWorker.compare_exchange_weak(seen, worker)) {
        }
    });
    for (const auto& count : runs) ASSERT_EQ(count.load(), 1);
    EXPECT_LT(highestWorker.load(), pool.size());
}

TEST(ThreadPool, ALimitOfOneWorkerAndALoopInsideALoopRunOnTheCallingThread) {
    ThreadPool pool(4);
    std::atomic<int> others{0};
    pool.ParallelFor(50, [&](long, unsigned worker) { others += worker != 0; }, 1);
    EXPECT_EQ(others.load(), 0);
    pool.ParallelFor(4, [&](long, unsigned) {
        pool.ParallelFor(10, [&](long, unsigned worker) { others += worker != 0; });
    });
    EXPECT_EQ(others.load(), 0);
}

TEST(ThreadPool, AnExceptionStopsTheLoopAndReachesTheCallerAndThePoolServesOn) {
    ThreadPool pool(2);
    std::atomic<long> ran{0};
    // Each index takes a tenth of a millisecond, so that the loop cannot run out on the other
    // thread before the throwing one, however late it is scheduled, has stopped it.
    EXPECT_THROW(pool.ParallelFor(100000, [&](long index, unsigned) {
        ++ran;
        if (index == 10) throw std::runtime_error("stop");
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }), std::runtime_error);
    EXPECT_LT(ran.load(), 100000);
    ran = 0;
    pool.ParallelFor(100, [&](long, unsigned) { ++ran; });
    EXPECT_EQ(ran.load(), 100);
}

}  // namespace
}  // namespace panelflow
