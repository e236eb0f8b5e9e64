#pragma once
// The three tables of influence coefficients: "Hess method - Normal velocities" (nRows lines of
// nCols values, the last being the right-hand side), "u Tangential velocities" and
// "v Tangential velocities" (nRows lines of nRows values). Each value is a blank and the
// "#0.###0" text.

#include "common/ResultsFile.h"
#include "common/UserInterface.h"
#include "solver/HessSolve.h"

namespace panelflow {

void WriteVelocityReport(const Solution& solution, long nRows, long nCols, ResultsAppender& out,
                         Progress* progress = nullptr);

}  // namespace panelflow
