// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two per-panel sections of a solution, "Source strengths" and "1-Cp": an empty line, the
// title, an empty line, then NI lines of NJ values with six decimals, each followed by two blanks.
// The values must be finite (the Hess command checks them first).

#include "base/Array.h"
#include "results/ResultsFile.h"

namespace panelflow {

// Sigma is [0..NI] x [0..NJ].
void WriteSourceStrengths(const Array2D<double>& Sigma, int NI, int NJ, ResultsAppender& out);

// OneMinusCp is [0..NI] x [0..NJ].
void WriteOneMinusCp(const Array2D<double>& OneMinusCp, int NI, int NJ, ResultsAppender& out);

}  // namespace panelflow
