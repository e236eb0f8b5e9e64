// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/HessSolve.h"

#include <cmath>
#include <limits>

#include "base/NumberText.h"
#include "base/PrintableText.h"
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

void Scale(Array2D<double>& values, int exponent) {
    for (std::ptrdiff_t i = 0; i <= values.upper1(); ++i)
        for (std::ptrdiff_t j = 0; j <= values.upper2(); ++j) values(i, j) = std::ldexp(values(i, j), exponent);
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
    outcome.status = CheckFreeStream(vinf, settings.streamText);
    if (!outcome.status) return outcome;

    // A body far from unit size is solved scaled to it: the solution does not depend on the
    // scale, and the influence formulas' products of lengths then stay within a double's range.
    const int exponent = NormalisingExponent(model);
    const PanelModel scaled = exponent != 0 ? ScaledModel(model, exponent) : PanelModel{};
    const PanelModel& solved = exponent != 0 ? scaled : model;
    // So is a stream far from unit speed; its strengths and velocities are scaled back below.
    const int streamExponent = NormalisingExponent(vinf);
    const FreeStream stream = ScaledStream(vinf, streamExponent);

    SolveSettings solve;
    solve.solver = settings.solver;
    solve.hierarchical.accuracy = settings.accuracy;
    solve.denseSteps = {steps.assemble, steps.solve};
    if (settings.writeTables)
        solve.writeTables = [&](const InfluenceMatrices& matrices, Progress* tablesProgress) {
            return AppendSection(outFile, [&](ResultsAppender& out) { writeTables(matrices, N, N + 1, out, tablesProgress); });
        };
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
    outcome.status = AppendSection(outFile, [&](ResultsAppender& out) { WriteSourceStrengths(result.Sigma, NI, NJ, out); });
    if (outcome.status)
        outcome.status = AppendSection(outFile, [&](ResultsAppender& out) { WriteOneMinusCp(result.OneMinusCp, NI, NJ, out); });
    if (outcome.status) surface = std::move(result);
    return outcome;
}

}  // namespace panelflow
