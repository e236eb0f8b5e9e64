// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/ThreadPool.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace panelflow {
namespace {
thread_local bool insideLoop = false;
}  // namespace

ThreadPool::ThreadPool(unsigned threads) {
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    try {
        for (unsigned w = 1; w < threads; ++w) threads_.emplace_back([this, w] { Serve(w); });
    } catch (const std::system_error&) {
        // The system starts no more threads: the ones running share the work.
    }
}

ThreadPool::~ThreadPool() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& thread : threads_) thread.join();
}

ThreadPool& ThreadPool::Shared() {
    static ThreadPool pool;
    return pool;
}

void ThreadPool::ParallelFor(long count, const Body& body, unsigned maxWorkers) {
    if (insideLoop || threads_.empty() || count <= 1 || maxWorkers == 1) {
        for (long index = 0; index < count; ++index) body(index, 0);
        return;
    }
    std::lock_guard loop(loop_);
    {
        std::lock_guard lock(mutex_);
        body_ = &body;
        count_ = count;
        next_ = 0;
        participants_ = std::min(maxWorkers == 0 ? size() : maxWorkers, size());
        busy_ = participants_ - 1;
        ++generation_;
    }
    wake_.notify_all();
    Work(0);
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [this] { return busy_ == 0; });
    if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
}

void ThreadPool::Serve(unsigned worker) {
    for (unsigned long seen = 0;;) {
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return stopping_ || generation_ != seen; });
            if (stopping_) return;
            seen = generation_;
            if (worker >= participants_) continue;
        }
        Work(worker);
        {
            std::lock_guard lock(mutex_);
            --busy_;
        }
        finished_.notify_one();
    }
}

// Takes indices until none is left; an exception ends the handing out for every worker.
void ThreadPool::Work(unsigned worker) {
    insideLoop = true;
    for (;;) {
        long index;
        {
            std::lock_guard lock(mutex_);
            if (next_ >= count_) break;
            index = next_++;
        }
        try {
            (*body_)(index, worker);
        } catch (...) {
            std::lock_guard lock(mutex_);
            if (!error_) error_ = std::current_exception();
            next_ = count_;
        }
    }
    insideLoop = false;
}

}  // namespace panelflow
