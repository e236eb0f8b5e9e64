// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window program's answer to the stop signals of base/StopSignals.h (closing the terminal it
// was started from, Ctrl-C, kill, a CPU-time limit, ...): every window is closed as if by the
// user, which stops and undoes a running command, and the application's event loops end. main
// then returns 128 + the signal's number (ExitStatusAfterStopSignal).

namespace panelflow {

// Catches the stop signals and looks for one ten times a second. Call once, after the
// QApplication exists.
void WatchStopSignals();

// 128 + the caught stop signal's number, or `status` when none came.
int ExitStatusAfterStopSignal(int status);

}  // namespace panelflow
