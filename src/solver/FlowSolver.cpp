// SPDX-License-Identifier: GPL-3.0-or-later
#include "solver/FlowSolver.h"

#include "solver/SymmetricSolver.h"

namespace panelflow {

FlowResult SolveFlow(const PanelModel& model, const FlowProblem& problem, const SolveSettings& settings,
                     Progress* progress) {
    FlowResult result;
    result.status = ChooseSolver(model, settings.solver, static_cast<bool>(settings.writeTables), result.choice,
                                 problem.potentials);
    if (!result.status) return result;
    switch (result.choice.kind) {
        case SolverKind::Dense:
            result.status = DenseSolve(model, problem, result.output, progress, settings.writeTables,
                                       settings.denseSteps);
            break;
        case SolverKind::Symmetric: result.status = SymmetricSolve(model, problem, result.output, progress); break;
        case SolverKind::Hierarchical:
            result.status = HierarchicalSolve(model, problem, settings.hierarchical, result.output, progress);
            break;
    }
    // The potentials are part of the contract: a solver that left them out fails here rather
    // than hand back a half answer.
    if (result.status && problem.potentials)
        for (const OnsetSolution& solution : result.output.solutions)
            if (solution.potential.empty()) {
                result.status = Status::Fail("The " + std::string(SolverName(result.choice.kind)) +
                                             " solver does not give the potentials that this computation needs.");
                result.output = SolverOutput{};
                break;
            }
    return result;
}

}  // namespace panelflow
