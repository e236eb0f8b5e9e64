// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReleasedWork.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <thread>

namespace py = pybind11;

namespace panelflow::python {
namespace {

constexpr auto kLookInterval = std::chrono::milliseconds(50);

// The work's progress as the calling thread picks it up: the latest report, and the wish to stop.
class SharedProgress : public Progress {
public:
    void Report(std::string_view stage, double fraction) override {
        const std::lock_guard<std::mutex> lock(mutex_);
        stage_ = stage;
        fraction_ = fraction;
        fresh_ = true;
    }
    bool StopRequested() const override { return stop_.load(std::memory_order_relaxed); }

    void Stop() { stop_.store(true, std::memory_order_relaxed); }
    // The latest report not yet taken, if any.
    bool Take(std::string& stage, double& fraction) {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (!fresh_) return false;
        stage = stage_;
        fraction = fraction_;
        fresh_ = false;
        return true;
    }

private:
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::string stage_;
    double fraction_ = 0.0;
    bool fresh_ = false;
};

// With the GIL held: Python's signal handlers, then the callback. Returns the exception that is
// to end the work, if one was raised.
std::optional<py::error_already_set> Look(const py::object& callback, SharedProgress& progress) {
    if (PyErr_CheckSignals() != 0) return py::error_already_set();
    std::string stage;
    double fraction = 0.0;
    if (!callback.is_none() && progress.Take(stage, fraction)) {
        try {
            callback(stage, fraction);
        } catch (py::error_already_set& raised) {
            return std::move(raised);
        }
    }
    return std::nullopt;
}

}  // namespace

void RunReleased(const py::object& callback, const std::function<void(Progress&)>& work) {
    SharedProgress progress;
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::exception_ptr failure;
    std::optional<py::error_already_set> raised;
    const auto run = [&] {
        try {
            work(progress);
        } catch (...) {
            failure = std::current_exception();
        }
        const std::lock_guard<std::mutex> lock(mutex);
        done = true;
        finished.notify_one();
    };
    {
        py::gil_scoped_release released;
        std::thread worker;
        try {
            worker = std::thread(run);
        } catch (const std::system_error&) {
            // No thread to be had (a process limit): the work runs here, without Ctrl-C.
            run();
        }
        std::unique_lock<std::mutex> lock(mutex);
        while (!finished.wait_for(lock, kLookInterval, [&] { return done; })) {
            if (raised) continue;  // stopping: wait for the work to end
            lock.unlock();
            {
                py::gil_scoped_acquire acquired;
                raised = Look(callback, progress);
            }
            if (raised) progress.Stop();
            lock.lock();
        }
        lock.unlock();
        if (worker.joinable()) worker.join();
    }
    if (raised) throw *raised;
    if (failure) std::rethrow_exception(failure);
}

}  // namespace panelflow::python
