// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Hess's method of constant-strength source panels on the current panels, as one step of the
// Hess command: solve through the solver entry point (solver/FlowSolver.h), with the three
// coefficient tables appended once the dense solver has assembled them, then append
// "Source strengths" and "1-Cp". The matrices live only inside this call.
//
// Failures come back in the outcome: a results file that cannot be written, no panels, a free
// stream without direction or speed, a forced solver that the body cannot take, a solution that
// is not finite. A stream of any speed within the range of a double is solved at unit size and
// scaled back (model/FreeStream.h), so that 1 - Cp is its direction's; one whose strengths or
// velocities would leave that range is refused, naming it. A zero pivot is no failure here:
// the strengths are then all zero, the sections are written as usual and the outcome says so,
// with the step; the command decides.
// Memory that cannot be had throws std::bad_alloc (the command turns it into a message). On any
// failure the results file may hold part of the sections; the caller cuts it back
// (ResultsTransaction) and `surface` is unchanged.

#include <optional>
#include <string>

#include "base/Array.h"
#include "base/Progress.h"
#include "base/Status.h"
#include "model/FreeStream.h"
#include "model/InfluenceMatrices.h"
#include "model/PanelModel.h"
#include "model/SurfaceSolution.h"
#include "solver/GaussSolve.h"
#include "solver/HierarchicalSolver.h"
#include "solver/SolverChoice.h"

namespace panelflow {

class ResultsAppender;

// How the Hess command solves: whether the three coefficient tables are written (only the dense
// solver has them), a solver forced by the user (none: chosen by ChooseSolver), the hierarchical
// solver's accuracy, and the free stream as the user wrote it, for messages (none: its components).
struct HessSettings {
    bool writeTables = true;
    std::optional<SolverKind> solver;
    double accuracy = kDefaultHierarchicalAccuracy;
    std::string streamText;
};

struct HessOutcome {
    Status status;
    bool zeroPivot = false;
    long pivotStep = 0;   // the elimination's step k whose pivot was zero (0: not known)
    SolverChoice choice;  // the solver that was chosen, and why
};

// The three heavy steps of the dense solver. Left empty, each is the fast routine
// (AssembleInfluenceMatrices, WriteVelocityReport, GaussSolve); tests put straightforward
// versions in their place to check that both give the same results file.
struct HessSteps {
    void (*assemble)(const PanelModel&, const FreeStream&, InfluenceMatrices&, Progress*) = nullptr;
    void (*writeTables)(const InfluenceMatrices&, long nRows, long nCols, ResultsAppender&, Progress*) = nullptr;
    GaussResult (*solve)(long N, Array2D<double>& A, Array1D<double>& X, Progress*) = nullptr;
};

HessOutcome HessSolve(const PanelModel& model, const FreeStream& vinf, SurfaceSolution& surface,
                      const std::string& outFile, Progress* progress = nullptr, const HessSettings& settings = {},
                      const HessSteps& steps = {});

}  // namespace panelflow
