// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The three tables of influence coefficients: "Hess method - Normal velocities" (nRows lines of
// nCols values, the last being the right-hand side), "u Tangential velocities" and
// "v Tangential velocities" (nRows lines of nRows values). Each value is a blank and the
// "#0.###0" text.

#include "base/Progress.h"
#include "model/InfluenceMatrices.h"
#include "results/ResultsFile.h"

namespace panelflow {

void WriteVelocityReport(const InfluenceMatrices& solution, long nRows, long nCols, ResultsAppender& out,
                         Progress* progress = nullptr);

}  // namespace panelflow
