#include "base/StopSignals.h"

#include <atomic>
#include <csignal>

namespace panelflow {
namespace {

// The one datum a signal handler may reach: written by the handler, read by the work.
std::atomic<int> caught{0};

void Note(int signal) {
    int none = 0;
    caught.compare_exchange_strong(none, signal);
}

}  // namespace

void CatchStopSignals() {
    struct sigaction action {};
    action.sa_handler = &Note;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int CaughtStopSignal() { return caught.load(); }

}  // namespace panelflow
