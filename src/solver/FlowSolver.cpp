#include "solver/FlowSolver.h"

#include "solver/SymmetricSolver.h"

namespace panelflow {

FlowResult SolveFlow(const PanelModel& model, const FlowProblem& problem, const SolveSettings& settings,
                     Progress* progress) {
    FlowResult result;
    result.status = ChooseSolver(model, settings.solver, static_cast<bool>(settings.writeTables), result.choice);
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
    return result;
}

}  // namespace panelflow
