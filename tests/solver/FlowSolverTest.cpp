// The solver entry point: the choice it states, and several onset flows solved together.

#include "solver/FlowSolver.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/PanelTestSupport.h"

namespace panelflow {
namespace {

double LargestDifference(const Array2D<double>& a, const Array2D<double>& b) {
    double largest = 0.0;
    for (long i = 1; i <= a.upper1(); ++i)
        for (long j = 1; j <= a.upper2(); ++j) largest = std::fmax(largest, std::fabs(a(i, j) - b(i, j)));
    return largest;
}

// The onset of a body turning about the z axis at unit rate, seen from the body: -(e_z x r) at
// every control point; it is no free stream, so it takes every column of the problem's form.
OnsetFlow Turning(const PanelModel& model) {
    OnsetFlow onset;
    onset.Vx = Array2D<double>(model.NI, model.NJ);
    onset.Vy = Array2D<double>(model.NI, model.NJ);
    onset.Vz = Array2D<double>(model.NI, model.NJ);
    for (int i = 1; i <= model.NI; ++i)
        for (int j = 1; j <= model.NJ; ++j) {
            onset.Vx(i, j) = model.yC(i, j);
            onset.Vy(i, j) = -model.xC(i, j);
        }
    return onset;
}

TEST(FlowSolver, SeveralOnsetFlowsSolvedTogetherMatchEachSolvedAlone) {
    const PanelModel model = testing::SpherePanels(8, 7);
    FlowProblem together = StreamProblem({1.0, 0.0, 0.0});
    together.onsets.push_back(StreamProblem({0.3, 1.0, 0.5}).onsets.front());
    together.onsets.push_back(Turning(model));
    const FlowResult all = SolveFlow(model, together);
    ASSERT_TRUE(all.status.ok) << all.status.message;
    ASSERT_EQ(all.output.solutions.size(), 3u);
    for (std::size_t r = 0; r < together.onsets.size(); ++r) {
        FlowProblem alone;
        alone.onsets.push_back(together.onsets[r]);
        const FlowResult one = SolveFlow(model, alone);
        ASSERT_TRUE(one.status.ok);
        const OnsetSolution &a = all.output.solutions[r], &b = one.output.solutions.front();
        EXPECT_LT(LargestDifference(a.Sigma, b.Sigma), 1e-12) << r;
        EXPECT_LT(LargestDifference(a.ut, b.ut), 1e-12) << r;
        EXPECT_LT(LargestDifference(a.vt, b.vt), 1e-12) << r;
    }
}

TEST(FlowSolver, TablesAreWrittenOnceFromTheAssembledSystemBeforeTheElimination) {
    const PanelModel model = testing::SpherePanels(4, 4);
    int calls = 0;
    double firstRightHandSide = 0.0, diagonal = 0.0;
    SolveSettings settings;
    settings.writeTables = [&](const InfluenceMatrices& matrices, Progress*) {
        ++calls;
        firstRightHandSide = matrices.vNorm(1, matrices.N + 1);
        diagonal = matrices.vNorm(1, 1);
        return Status::Ok();
    };
    const FlowResult result = SolveFlow(model, StreamProblem({1.0, 0.0, 0.0}), settings);
    ASSERT_TRUE(result.status.ok);
    EXPECT_EQ(calls, 1);
    EXPECT_DOUBLE_EQ(firstRightHandSide, -model.ZtaX(1, 1));
    EXPECT_DOUBLE_EQ(diagonal, 0.5);
    EXPECT_EQ(result.choice.Text(), "dense: coefficient tables written");

    settings.writeTables = [](const InfluenceMatrices&, Progress*) { return Status::Fail("disk full"); };
    const FlowResult failed = SolveFlow(model, StreamProblem({1.0, 0.0, 0.0}), settings);
    EXPECT_EQ(failed.status.message, "disk full");
    EXPECT_TRUE(failed.output.solutions.empty());
}

}  // namespace
}  // namespace panelflow
