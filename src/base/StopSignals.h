#pragma once
// SIGINT and SIGTERM as a wish to stop: once caught, the signal is only noted, so that the work
// under way can stop at its next check (Progress::StopRequested) and undo what it began, instead
// of dying with a results file cut in the middle of a table.

namespace panelflow {

// Installs the handlers (once, at the start of a program without a window).
void CatchStopSignals();

// The stop signal caught so far (SIGINT or SIGTERM), or 0.
int CaughtStopSignal();

}  // namespace panelflow
