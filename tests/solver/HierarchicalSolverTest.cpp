// SPDX-License-Identifier: GPL-3.0-or-later
// The hierarchical solver against the dense one on bodies of a few hundred panels, with leaves of
// 16 panels so that most of the matrix is compressed: the example ellipsoid with three different
// axes and a body with a flat base (sharp edges), in two free streams each and with an onset that
// varies over the body, at the default accuracy and at a looser one. Then a stop inside the
// library's compression, and the entry point's choice of the solver.

#include "solver/HierarchicalSolver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "geometry/PanelGeometry.h"
#include "input/CornerPointFile.h"
#include "solver/DenseSolver.h"
#include "solver/FlowSolver.h"
#include "support/PanelTestSupport.h"

namespace panelflow {
namespace {

constexpr int kSmallLeaves = 16;

PanelModel ExampleEllipsoid() {
    PanelModel model;
    const Status read = ReadCornerPoints(PANELFLOW_SOURCE_DIR "/examples/ellipsoid-3axes.Coords", model);
    EXPECT_TRUE(read.ok) << read.message;
    EXPECT_TRUE(BuildPanels(model).ok);
    return model;
}

// A body of length 1 with elliptic sections (semi-axes 0.12 and 0.08): a rounded nose, a straight
// part and a flat base at x = 1 closed by two rows from the sharp rim to its centre.
PanelModel FlatBaseBody() {
    constexpr int NI = 14, NJ = 20, kBaseRows = 2;
    PanelModel model = testing::GridOf(NI, NJ, [](int i, int j) {
        double x, s;
        if (i <= NI + 1 - kBaseRows) {
            const double t = static_cast<double>(i - 1) / (NI - kBaseRows);
            const double u = std::min(1.0, t / 0.3);
            x = t, s = std::sqrt(u * (2.0 - u));
        } else {
            x = 1.0, s = 1.0 - static_cast<double>(i - (NI + 1 - kBaseRows)) / kBaseRows;
        }
        const double theta = -Pi / 2 + (j - 1) * TwoPi / NJ;
        return testing::Point{x, 0.12 * s * std::cos(theta), 0.08 * s * std::sin(theta)};
    });
    EXPECT_TRUE(BuildPanels(model).ok);
    return model;
}

double LargestDifference(const Array2D<double>& a, const Array2D<double>& b, const PanelModel& model) {
    double largest = 0.0;
    for (int i = 1; i <= model.NI; ++i)
        for (int j = 1; j <= model.NJ; ++j) largest = std::max(largest, std::fabs(a(i, j) - b(i, j)));
    return largest;
}

struct Case {
    std::string name;
    PanelModel (*body)();
    FreeStream vinf;
};

class HierarchicalAgainstDense : public ::testing::TestWithParam<Case> {};

// Both onset flows of the problem (the body's free stream and one of a body turning about y,
// which varies from panel to panel) are solved together, as the dense solver does.
TEST_P(HierarchicalAgainstDense, AgreesWithinTheAccuracyAndCompresses) {
    const PanelModel model = GetParam().body();
    FlowProblem problem = StreamProblem(GetParam().vinf);
    OnsetFlow& turning = problem.onsets.emplace_back();
    turning.Vx = turning.Vy = turning.Vz = Array2D<double>(model.NI, model.NJ);
    for (int i = 1; i <= model.NI; ++i)
        for (int j = 1; j <= model.NJ; ++j) turning.Vx(i, j) = model.zC(i, j), turning.Vz(i, j) = -model.xC(i, j);
    SolverOutput dense;
    ASSERT_TRUE(DenseSolve(model, problem, dense).ok);
    // At the default accuracy within 1e-6 of the dense solution; at a looser accuracy the
    // matrices shrink and the error grows with it, which shows that blocks were approximated.
    double previousBytes = 1e300, previousError = 0.0;
    for (const auto& [accuracy, bound] : {std::pair{kDefaultHierarchicalAccuracy, 1e-6}, std::pair{1e-4, 1e-3}}) {
        SolverOutput output;
        HierarchicalReport report;
        const Status solved =
            HierarchicalSolve(model, problem, HierarchicalSettings{accuracy, kSmallLeaves}, output, nullptr, &report);
        ASSERT_TRUE(solved.ok) << solved.message;
        ASSERT_EQ(output.solutions.size(), 2u);
        double largest = 0.0;
        for (std::size_t r = 0; r < 2; ++r) {
            const OnsetSolution &h = output.solutions[r], &d = dense.solutions[r];
            for (const auto& [a, b] : {std::pair{&h.Sigma, &d.Sigma}, std::pair{&h.ut, &d.ut}, std::pair{&h.vt, &d.vt}})
                largest = std::max(largest, LargestDifference(*a, *b, model));
        }
        EXPECT_LT(largest, bound) << accuracy;
        EXPECT_GT(largest, previousError) << accuracy;
        EXPECT_LT(report.normalBytes, previousBytes) << accuracy;
        previousBytes = report.normalBytes;
        previousError = largest;
    }
}

INSTANTIATE_TEST_SUITE_P(Bodies, HierarchicalAgainstDense,
                         ::testing::Values(Case{"EllipsoidAlongX", &ExampleEllipsoid, {1.0, 0.0, 0.0}},
                                           Case{"EllipsoidAtIncidence", &ExampleEllipsoid, {0.3, 1.0, 0.5}},
                                           Case{"FlatBaseAlongX", &FlatBaseBody, {1.0, 0.0, 0.0}},
                                           Case{"FlatBaseAtIncidence", &FlatBaseBody, {0.8, -0.3, 0.4}}),
                         [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

// Asks to stop at the `stopAt`-th question after `stage` began; the block callbacks ask from
// inside the library.
class StopInsideTheLibrary : public Progress {
public:
    StopInsideTheLibrary(std::string_view stage, int stopAt) : stage_(stage), stopAt_(stopAt) {}
    void Report(std::string_view stage, double) override { lastStage = stage; }
    bool StopRequested() const override { return lastStage == stage_ && ++asked_ >= stopAt_; }
    std::string lastStage;

private:
    std::string_view stage_;
    int stopAt_;
    mutable int asked_ = 0;
};

TEST(HierarchicalSolve, StopInsideTheLibraryLeavesTheOutputUntouchedAndTheLibraryUsable) {
    const PanelModel model = ExampleEllipsoid();
    const HierarchicalSettings settings{kDefaultHierarchicalAccuracy, kSmallLeaves};
    const FlowProblem problem = StreamProblem(kUnitStreamAlongX);
    SolverOutput output;
    output.solutions.resize(3);
    // In the normal-velocity matrix, and in the tangential one after the iteration.
    for (const std::string_view stage : {kStageInfluence, kStageSurfaceVelocities}) {
        StopInsideTheLibrary stop(stage, 20);
        EXPECT_THROW(HierarchicalSolve(model, problem, settings, output, &stop), Cancelled);
        EXPECT_EQ(stop.lastStage, stage);
        EXPECT_EQ(output.solutions.size(), 3u);
    }
    ASSERT_TRUE(HierarchicalSolve(model, problem, settings, output).ok);
    EXPECT_EQ(output.solutions.size(), 1u);
}

// The entry point chooses it for a body that is not a body of revolution when the tables are not
// written, and refuses it, when asked for, where the tables are.
TEST(HierarchicalSolve, IsTheChoiceForOtherBodiesWithoutTables) {
    const PanelModel model = ExampleEllipsoid();
    SolveSettings settings;
    settings.hierarchical.leafSize = kSmallLeaves;
    const FlowResult chosen = SolveFlow(model, StreamProblem(kUnitStreamAlongX), settings);
    ASSERT_TRUE(chosen.status.ok) << chosen.status.message;
    EXPECT_EQ(chosen.choice.Text(), "hierarchical: not a body of revolution, coefficient tables not written");
    SolverOutput direct;
    ASSERT_TRUE(HierarchicalSolve(model, StreamProblem(kUnitStreamAlongX), settings.hierarchical, direct).ok);
    EXPECT_EQ(LargestDifference(chosen.output.solutions[0].Sigma, direct.solutions[0].Sigma, model), 0.0);

    settings.solver = SolverKind::Hierarchical;
    settings.writeTables = [](const InfluenceMatrices&, Progress*) { return Status::Ok(); };
    const FlowResult refused = SolveFlow(model, StreamProblem(kUnitStreamAlongX), settings);
    EXPECT_EQ(refused.status.message.rfind("The hierarchical solver does not form the coefficient tables", 0), 0u);
    EXPECT_TRUE(refused.output.solutions.empty());
}

}  // namespace
}  // namespace panelflow
