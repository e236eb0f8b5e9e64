// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Internal to the Python module: long work with the GIL released, Ctrl-C and a progress callback.
//
// The work runs on a thread of its own and never touches a Python object. Meanwhile the calling
// thread (Python's, usually the main thread) takes the GIL every 50 ms only to run Python's signal
// handlers, so that Ctrl-C raises KeyboardInterrupt there, and to hand the latest progress to the
// callback as callback(stage, fraction), stage one of "influence coefficients", "elimination",
// "results", ..., fraction from 0 to 1. A KeyboardInterrupt, or an exception raised by the
// callback, asks the work to stop (Progress::StopRequested, within about a second), waits for it
// to end and is raised then. The callback is called only while the work runs (never after it
// has ended, when it could no longer stop it), so that a short work may see none. Other
// exceptions of the work are raised as they came. An interrupt that comes as the work ends is
// raised all the same: a caller that can undo the work's effect undoes it then.

#include <functional>

#include <pybind11/pybind11.h>

#include "base/Progress.h"

namespace panelflow::python {

// `callback` is None or a callable(stage: str, fraction: float).
void RunReleased(const pybind11::object& callback, const std::function<void(Progress&)>& work);

}  // namespace panelflow::python
