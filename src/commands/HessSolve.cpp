// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/HessSolve.h"

#include <cmath>
#include <limits>

#include "base/NumberText.h"
#include "base/PrintableText.h"
#include "commands/Messages.h"
#include "model/BodyScale.h"
#include "model/PanelCounts.h"
#include "results/ResultsFile.h"
#include "results/SolutionReport.h"
#include "results/VelocityReport.h"
#include "solver/Assembly.h"
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

void Scale(Array2D<double>& values, int exponent) {
    for (std::ptrdiff_t i = 0; i <= values.upper1(); ++i)
        for (std::ptrdiff_t j = 0; j <= values.upper2(); ++j) values(i, j) = std::ldexp(values(i, j), exponent);
}

// The body and the free stream as they are solved. A body far from unit size is solved scaled to
// it: the solution does not depend on the scale, and the influence formulas' products of lengths
// then stay within a double's range. So is a stream far from unit speed; its strengths and
// velocities are scaled back afterwards.
struct NormalisedProblem {
    explicit NormalisedProblem(const PanelModel& model, const FreeStream& vinf)
        : exponent(NormalisingExponent(model)),
          scaled(exponent != 0 ? ScaledModel(model, exponent) : PanelModel{}),
          solved(exponent != 0 ? scaled : model),
          streamExponent(NormalisingExponent(vinf)),
          stream(ScaledStream(vinf, streamExponent)) {}
    int exponent;
    PanelModel scaled;
    const PanelModel& solved;
    int streamExponent;
    FreeStream stream;
};

}  // namespace

HessOutcome HessSolve(const PanelModel& model, const FreeStream& vinf, SurfaceSolution& surface,
                      const std::string& outFile, Progress* progress, const HessSettings& settings,
                      const HessSteps& steps) {
    const auto writeTables = steps.writeTables != nullptr ? steps.writeTables : &WriteVelocityReport;
    const long N = static_cast<long>(model.PanelCount());
    CoefficientTableWriter tables;
    if (settings.writeTables)
        tables = [&](const InfluenceMatrices& matrices, Progress* tablesProgress) {
            return AppendSection(outFile, [&](ResultsAppender& out) { writeTables(matrices, N, N + 1, out, tablesProgress); });
        };
    SurfaceSolution result;
    HessOutcome outcome = SolveStream(model, vinf, result, progress, settings, tables, steps);
    if (outcome.status) outcome.status = AppendSolutionSections(outFile, result, model.NI, model.NJ);
    if (outcome.status) surface = std::move(result);
    return outcome;
}

HessOutcome SolveStream(const PanelModel& model, const FreeStream& vinf, SurfaceSolution& surface,
                        Progress* progress, const HessSettings& settings, const CoefficientTableWriter& tables,
                        const HessSteps& steps) {
    HessOutcome outcome;
    const int NI = model.NI, NJ = model.NJ;
    if (model.PanelCount() < 1) {
        outcome.status = Status::Fail(std::string(kNoPanelsMessage));
        return outcome;
    }
    outcome.status = CheckFreeStream(vinf, settings.streamText);
    if (!outcome.status) return outcome;

    const NormalisedProblem normalised(model, vinf);
    const PanelModel& solved = normalised.solved;
    const int streamExponent = normalised.streamExponent;
    const FreeStream& stream = normalised.stream;

    SolveSettings solve;
    solve.solver = settings.solver;
    solve.hierarchical.accuracy = settings.accuracy;
    solve.denseSteps = {steps.assemble, steps.solve};
    solve.writeTables = tables;
    FlowResult flow = SolveFlow(solved, StreamProblem(stream), solve, progress);
    outcome.choice = flow.choice;
    outcome.status = flow.status;
    if (!outcome.status) return outcome;
    outcome.zeroPivot = flow.output.zeroPivot;
    outcome.pivotStep = flow.output.pivotStep;

    SurfaceSolution result;
    SurfaceVelocity(solved, stream, flow.output.solutions.front(), result);
    flow.output = SolverOutput{};

    if (!AllFinite(result.Sigma, NI, NJ) || !AllFinite(result.OneMinusCp, NI, NJ)) {
        outcome.status = Status::Fail(std::string(kNotFiniteMessage));
        return outcome;
    }
    if (streamExponent != 0) {
        for (Array2D<double>* scaledBack : {&result.Sigma, &result.Vx, &result.Vy, &result.Vz})
            Scale(*scaledBack, -streamExponent);
        if (!AllFinite(result.Sigma, NI, NJ) || !AllFinite(result.Vx, NI, NJ) || !AllFinite(result.Vy, NI, NJ) ||
            !AllFinite(result.Vz, NI, NJ)) {
            outcome.status = Status::Fail(
                "The free stream \"" + (settings.streamText.empty() ? FreeStreamText(vinf) : PrintableText(settings.streamText)) +
                "\" is too strong for this body: its source strengths or surface velocities are beyond the largest "
                "number (" + ShortestText(std::numeric_limits<double>::max()) + ") that can be computed.");
            return outcome;
        }
    }
    surface = std::move(result);
    return outcome;
}

Status AppendSolutionSections(const std::string& outFile, const SurfaceSolution& surface, int NI, int NJ) {
    Status status = AppendSection(outFile, [&](ResultsAppender& out) { WriteSourceStrengths(surface.Sigma, NI, NJ, out); });
    if (status)
        status = AppendSection(outFile, [&](ResultsAppender& out) { WriteOneMinusCp(surface.OneMinusCp, NI, NJ, out); });
    return status;
}

Status AppendCoefficientTables(const PanelModel& model, const FreeStream& vinf, const std::string& outFile,
                               Progress* progress) {
    const long N = static_cast<long>(model.PanelCount());
    if (N < 1) return Status::Fail(std::string(kNoPanelsMessage));
    if (const Status usable = CheckFreeStream(vinf); !usable) return usable;
    const NormalisedProblem normalised(model, vinf);
    InfluenceMatrices matrices;
    AssembleInfluenceMatrices(normalised.solved, normalised.stream, matrices, progress);
    return AppendSection(outFile, [&](ResultsAppender& out) { WriteVelocityReport(matrices, N, N + 1, out, progress); });
}

Status SolverPlan::MemoryRefusal() const { return OutOfMemory("The solution", bytes); }

Status PlanSolver(const PanelModel& model, const HessSettings& settings, SolverPlan& plan) {
    SolverChoice choice;
    if (const Status chosen = ChooseSolver(model, settings.solver, settings.writeTables, choice); !chosen) return chosen;
    plan = {choice, SolverBytes(choice.kind, model.NI, model.NJ)};
    return CheckProblemFits(model.NI, model.NJ, plan.bytes, SolverMemoryName(choice.kind));
}

}  // namespace panelflow
