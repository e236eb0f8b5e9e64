// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/StopSignals.h"

#include <atomic>
#include <csignal>
#include <cstring>

namespace panelflow {
namespace {

// The one datum a signal handler may reach: written by the handler, read by the work.
std::atomic<int> caught{0};

void Note(int signal) {
    int none = 0;
    caught.compare_exchange_strong(none, signal);
}

constexpr int kStopSignals[] = {SIGHUP,  SIGINT,  SIGQUIT, SIGUSR1,   SIGUSR2, SIGPIPE,
                                SIGALRM, SIGTERM, SIGXCPU, SIGVTALRM, SIGPROF};

}  // namespace

void CatchStopSignals() {
    struct sigaction action {};
    action.sa_handler = &Note;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kStopSignals) sigaction(signal, &action, nullptr);
}

int CaughtStopSignal() { return caught.load(); }

std::string SignalName(int signal) {
    const char* abbreviation = ::sigabbrev_np(signal);
    return abbreviation != nullptr ? std::string("SIG") + abbreviation : "signal " + std::to_string(signal);
}

}  // namespace panelflow
