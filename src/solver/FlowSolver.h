// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one entry point of the flow solution: the Hess command, the batch program and the Python
// module all solve through SolveFlow. It chooses the solver (SolverChoice.h), says which and why,
// and calls it; each solver is its own file with the same shape of call (FlowProblem.h):
// DenseSolver, SymmetricSolver, HierarchicalSolver.
//
// The solvers compute and never open a file. The coefficient tables, which only the dense solver
// has, are written by a callback that the caller supplies; it runs once the matrices are assembled
// and before the elimination. Progress and the wish to stop come through `progress`
// (base/Progress.h): a stop ends the call with Cancelled, nothing of the output written. Memory
// that cannot be had throws std::bad_alloc.
//
// Another solver gets a SolverKind, a rule in ChooseSolver, its own file and one case in
// SolveFlow; a setting of its own (such as an accuracy) goes into SolveSettings.

#include <functional>

#include "base/Progress.h"
#include "base/Status.h"
#include "model/InfluenceMatrices.h"
#include "model/PanelModel.h"
#include "solver/DenseSolver.h"
#include "solver/FlowProblem.h"
#include "solver/HierarchicalSolver.h"
#include "solver/SolverChoice.h"

namespace panelflow {

struct SolveSettings {
    std::optional<SolverKind> solver;  // a forced choice; none: chosen automatically
    // Set when the coefficient tables are wanted: writes them from the assembled matrices (the
    // first onset's right-hand side in column N + 1); a failure ends the solution with its status.
    CoefficientTableWriter writeTables;
    // The hierarchical solver's accuracy (and, for tests, its leaf size).
    HierarchicalSettings hierarchical;
    // Tests only: straightforward steps in place of the dense solver's fast ones.
    DenseSteps denseSteps;
};

struct FlowResult {
    Status status;       // refused: a forced choice the body cannot take, or the tables' failure
    SolverChoice choice;  // the solver used and why (also when it failed)
    SolverOutput output;  // on success: one solution per onset flow
};

// Solves `problem` (at least one onset flow) on `model` (at least one panel).
FlowResult SolveFlow(const PanelModel& model, const FlowProblem& problem, const SolveSettings& settings = {},
                     Progress* progress = nullptr);

}  // namespace panelflow
