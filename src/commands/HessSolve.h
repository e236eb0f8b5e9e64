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
#include "solver/DenseSolver.h"
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

// The solution of HessSolve without its two sections: the same choice, normalisation, checks and
// values, for callers that keep the solution rather than write it (the Python module). The
// coefficient tables are written through `tables` when it is set (settings.writeTables is not
// read), and only the dense solver can have them.
HessOutcome SolveStream(const PanelModel& model, const FreeStream& vinf, SurfaceSolution& surface,
                        Progress* progress = nullptr, const HessSettings& settings = {},
                        const CoefficientTableWriter& tables = {}, const HessSteps& steps = {});

// Appends the two sections of a solution, "Source strengths" and "1-Cp", for NI x NJ panels.
Status AppendSolutionSections(const std::string& outFile, const SurfaceSolution& surface, int NI, int NJ);

// Appends the three coefficient tables of the free stream `vinf` on the panels, assembled afresh
// exactly as HessSolve's dense solver assembles them (body and stream normalised alike), so that
// the tables of a solution kept by SolveStream can be written later. Needs the memory of the
// influence matrices (std::bad_alloc otherwise); a stop throws Cancelled.
Status AppendCoefficientTables(const PanelModel& model, const FreeStream& vinf, const std::string& outFile,
                               Progress* progress = nullptr);

// The solver that the Hess command would use for `model` with `settings`, and the memory it
// allocates. Refuses a forced choice that the body or the tables do not allow, and a solver whose
// memory this process cannot have now (Fault::Memory), with the Hess command's messages; `plan`
// is then written only for the memory refusal, whose solver it names.
struct SolverPlan {
    SolverChoice choice;
    double bytes = 0.0;
    // The refusal when the solution's memory could not be had after all (std::bad_alloc).
    Status MemoryRefusal() const;
};
Status PlanSolver(const PanelModel& model, const HessSettings& settings, SolverPlan& plan);

}  // namespace panelflow
