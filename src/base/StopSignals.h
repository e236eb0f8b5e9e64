// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The signals that end a program by default and that a user or the system sends in normal life
// (closing the terminal, Ctrl-C, Ctrl-\, kill, a timer, a CPU-time limit, a reader that went
// away) as a wish to stop: once caught, the signal is only noted, so that the work under way can
// stop at its next check (Progress::StopRequested) and undo what it began, instead of dying with
// a results file cut in the middle of a table. SIGKILL and SIGSTOP cannot be caught.

#include <string>

namespace panelflow {

// Installs the handlers of SIGHUP, SIGINT, SIGQUIT, SIGUSR1, SIGUSR2, SIGPIPE, SIGALRM, SIGTERM,
// SIGXCPU, SIGVTALRM and SIGPROF (once, at the start of a program).
void CatchStopSignals();

// The first stop signal caught so far, or 0.
int CaughtStopSignal();

// "SIGHUP", "SIGINT", ... for a signal number.
std::string SignalName(int signal);

}  // namespace panelflow
