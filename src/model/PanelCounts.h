// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Checks of the panel counts before anything is built: a count must be a whole number of at
// least 1, and the problem it gives must fit in the memory this process may use (for the dense
// solver the three influence matrices of 24 (N + 1)(N + 2) bytes dominate).

#include <string>
#include <string_view>

#include "base/Status.h"

namespace panelflow {

// The largest panel count in either direction: NI + 1 nodes must still be counted.
inline constexpr int kLargestCount = 2147483646;

// Reads `text` by the leading-number rule; refuses anything but a whole number from 1 to
// kLargestCount. `name` ("NI", "NJ") names the count in the message.
Status ReadPanelCount(std::string_view text, std::string_view name, int& count);

// Bytes in gigabytes, or in megabytes below a tenth of a gigabyte (of `unit` when given), with
// `decimals` decimals: "2.4 GB", "35.0 MB".
std::string MemoryText(double bytes, int decimals = 1, double unit = 0.0);

// Bytes of the three (N + 1) x (N + 2) double matrices of the solution for N = NI * NJ.
double InfluenceMatrixBytes(double NI, double NJ);

// Bytes of the panel model's arrays for NI x NJ panels (node grid and per-panel arrays).
double PanelModelBytes(double NI, double NJ);

// The refusal of work whose memory could not be had: "<what> needs 2.4 GB of memory, which this
// program cannot have now; nothing was changed." (in MB below a tenth of a GB).
Status OutOfMemory(std::string_view what, double bytes);

// Refuses counts whose panel model would not fit in the memory this process may use now, naming
// the memory needed; checked by the geometry commands and the file readers before they allocate.
Status CheckGeometryFits(double NI, double NJ);

// Refuses counts whose solution would not fit in the memory this process may use now (the
// smallest of available memory, its address-space and data-size limits and its control group's
// limit; see base/ProcessLimits.h), naming the memory needed, the memory usable and the limit
// that decides, with enough decimals to tell the two amounts apart; checked by the Hess command
// before anything is allocated or written. `bytes` is what the solver allocates and `what` names
// it in the message ("influence matrices"); without them, the three influence matrices of the
// dense solver.
Status CheckProblemFits(double NI, double NJ, double bytes, std::string_view what);
Status CheckProblemFits(double NI, double NJ);

}  // namespace panelflow
