// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one pool of threads for the program's own parallel loops (the assembly, the coefficient
// tables), sized once from the processor; the BLAS library keeps its own pool beside it.
//
// ParallelFor(count, body) calls body(index, worker) for every index in [0, count), handing the
// indices out in increasing order, one at a time, to the calling thread (worker 0) and the pool's
// threads (workers 1 .. size() - 1), and returns when every call has returned. Idle threads sleep;
// nothing spins. A loop started from inside a loop's body runs on its calling thread alone. An
// exception thrown by the body stops the handing out and is rethrown once the calls under way have
// returned. A thread that the system will not start leaves the pool smaller, down to the caller.

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace panelflow {

class ThreadPool {
public:
    using Body = std::function<void(long index, unsigned worker)>;

    explicit ThreadPool(unsigned threads = 0);  // counts the calling thread; 0: one per core
    ~ThreadPool();
    ThreadPool(const ThreadPool&) = delete;
    ThreadPool& operator=(const ThreadPool&) = delete;

    // The pool of the program's loops, made on first use.
    static ThreadPool& Shared();

    unsigned size() const { return static_cast<unsigned>(threads_.size()) + 1; }

    // At most `maxWorkers` workers take part (0: all).
    void ParallelFor(long count, const Body& body, unsigned maxWorkers = 0);

private:
    void Serve(unsigned worker);
    void Work(unsigned worker);

    std::vector<std::thread> threads_;
    std::mutex loop_;  // one loop at a time
    std::mutex mutex_;
    std::condition_variable wake_, finished_;
    const Body* body_ = nullptr;
    long count_ = 0, next_ = 0;
    unsigned participants_ = 0, busy_ = 0;
    unsigned long generation_ = 0;
    bool stopping_ = false;
    std::exception_ptr error_;
};

}  // namespace panelflow
