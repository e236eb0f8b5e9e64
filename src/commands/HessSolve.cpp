#include "commands/HessSolve.h"

#include <cmath>

#include "commands/Messages.h"
#include "model/BodyScale.h"
#include "results/ResultsFile.h"
#include "results/SolutionReport.h"
#include "results/VelocityReport.h"
#include "solver/FlowSolver.h"
#include "solver/SurfaceVelocity.h"

namespace panelflow {
namespace {

bool AllFinite(const Array2D<double>& values, int NI, int NJ) {
    for (int i = 1; i <= NI; ++i)
        for (int j = 1; j <= NJ; ++j)
            if (!std::isfinite(values(i, j))) return false;
    return true;
}

}  // namespace

HessOutcome HessSolve(const PanelModel& model, const FreeStream& vinf, SurfaceSolution& surface,
                      const std::string& outFile, Progress* progress, const HessSettings& settings,
                      const HessSteps& steps) {
    const auto writeTables = steps.writeTables != nullptr ? steps.writeTables : &WriteVelocityReport;
    HessOutcome outcome;
    const int NI = model.NI, NJ = model.NJ;
    const long N = static_cast<long>(model.PanelCount());
    if (N < 1) {
        outcome.status = Status::Fail(std::string(kNoPanelsMessage));
        return outcome;
    }

    // A body far from unit size is solved scaled to it: the solution does not depend on the
    // scale, and the influence formulas' products of lengths then stay within a double's range.
    const int exponent = NormalisingExponent(model);
    const PanelModel scaled = exponent != 0 ? ScaledModel(model, exponent) : PanelModel{};
    const PanelModel& solved = exponent != 0 ? scaled : model;

    SolveSettings solve;
    solve.solver = settings.solver;
    solve.hierarchical.accuracy = settings.accuracy;
    solve.denseSteps = {steps.assemble, steps.solve};
    if (settings.writeTables)
        solve.writeTables = [&](const InfluenceMatrices& matrices, Progress* tablesProgress) {
            return AppendSection(outFile, [&](ResultsAppender& out) { writeTables(matrices, N, N + 1, out, tablesProgress); });
        };
    FlowResult flow = SolveFlow(solved, StreamProblem(vinf), solve, progress);
    outcome.choice = flow.choice;
    outcome.status = flow.status;
    if (!outcome.status) return outcome;
    outcome.zeroPivot = flow.output.zeroPivot;

    SurfaceSolution result;
    SurfaceVelocity(solved, vinf, flow.output.solutions.front(), result);
    flow.output = SolverOutput{};

    if (!AllFinite(result.Sigma, NI, NJ) || !AllFinite(result.OneMinusCp, NI, NJ)) {
        outcome.status = Status::Fail(std::string(kNotFiniteMessage));
        return outcome;
    }
    outcome.status = AppendSection(outFile, [&](ResultsAppender& out) { WriteSourceStrengths(result.Sigma, NI, NJ, out); });
    if (outcome.status)
        outcome.status = AppendSection(outFile, [&](ResultsAppender& out) { WriteOneMinusCp(result.OneMinusCp, NI, NJ, out); });
    if (outcome.status) surface = std::move(result);
    return outcome;
}

}  // namespace panelflow
