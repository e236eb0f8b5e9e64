// SPDX-License-Identifier: GPL-3.0-or-later
// The solver entry point: the choice it states, and several onset flows solved together.

#include "solver/FlowSolver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

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

// A sphere of radius a moving along +y at unit speed stirs the fluid with the dipole potential
// -a^3 y / (2 r^3) about its centre, -y / 2 on its surface; seen from the sphere the onset is -e_y.
// Every solver gives the dense solver's potentials, also for a turn about the axis, which the
// body of revolution cannot feel.
TEST(FlowSolver, EverySolverGivesTheDenseSolversPotentialsAndTheSpheresDipole) {
    const PanelModel model = testing::SpherePanels(16, 16);
    FlowProblem problem = StreamProblem({0.0, -1.0, 0.0});
    problem.onsets.push_back(Turning(model));
    OnsetFlow aboutAxis = Turning(model);  // about x: -(e_x x r)
    for (int i = 1; i <= model.NI; ++i)
        for (int j = 1; j <= model.NJ; ++j)
            aboutAxis.Vx(i, j) = 0.0, aboutAxis.Vy(i, j) = model.zC(i, j), aboutAxis.Vz(i, j) = -model.yC(i, j);
    problem.onsets.push_back(aboutAxis);
    problem.potentials = true;
    SolveSettings dense;
    dense.solver = SolverKind::Dense;
    const FlowResult reference = SolveFlow(model, problem, dense);
    ASSERT_TRUE(reference.status.ok) << reference.status.message;
    double largest = 0.0;
    for (int i = 1; i <= model.NI; ++i)
        for (int j = 1; j <= model.NJ; ++j)
            largest = std::fmax(largest, std::fabs(reference.output.solutions[0].potential(i, j) + model.yC(i, j) / 2.0));
    EXPECT_LT(largest, 0.035);  // 0.027 at 16 x 16, 0.013 at 32 x 32: first order

    // Every other solver, with the accuracy it promises (a solver that approximates joins with its own).
    const std::pair<SolverKind, double> solvers[] = {{SolverKind::Symmetric, 1e-12}};
    for (const auto& [kind, accuracy] : solvers) {
        SolveSettings settings;
        settings.solver = kind;
        const FlowResult result = SolveFlow(model, problem, settings);
        ASSERT_TRUE(result.status.ok) << result.status.message;
        for (std::size_t r = 0; r < problem.onsets.size(); ++r) {
            const Array2D<double>& phi = result.output.solutions[r].potential;
            ASSERT_FALSE(phi.empty()) << SolverName(kind);
            EXPECT_LT(LargestDifference(phi, reference.output.solutions[r].potential), accuracy) << SolverName(kind) << " " << r;
        }
    }
}

// The choice for every kind of body and setting: what is chosen and why, or what is refused.
TEST(FlowSolver, ChoosesBySettingsAndBodyAndRefusesWhatTheBodyCannotTake) {
    PanelModel revolution, corners;
    revolution.BodyOfRevolution = true;
    struct Row {
        const PanelModel* body;
        std::optional<SolverKind> forced;
        bool tables;
        const char* expected;  // the choice's text, or the start of the refusal
        bool potentials = false;
    };
    const Row rows[] = {
        {&revolution, {}, true, "dense: coefficient tables written"},
        {&revolution, {}, false, "symmetric: a body of revolution, coefficient tables not written"},
        {&corners, {}, false, "hierarchical: not a body of revolution, coefficient tables not written"},
        {&corners, {}, true, "dense: coefficient tables written"},
        {&corners, SolverKind::Dense, false, "dense: as requested"},
        {&revolution, SolverKind::Symmetric, false, "symmetric: as requested, a body of revolution"},
        {&corners, SolverKind::Symmetric, false, "The symmetric solver needs a body of revolution"},
        {&revolution, SolverKind::Symmetric, true, "The symmetric solver does not form the coefficient tables"},
        {&revolution, SolverKind::Hierarchical, false, "hierarchical: as requested"},
        {&corners, SolverKind::Hierarchical, true, "The hierarchical solver does not form the coefficient tables"},
        {&corners, {}, false, "dense: not a body of revolution, the panels' potentials wanted", true},
        {&revolution, {}, false, "symmetric: a body of revolution, coefficient tables not written", true},
        {&corners, SolverKind::Hierarchical, false, "The hierarchical solver does not give the panels' potentials", true},
    };
    for (const Row& row : rows) {
        SolverChoice choice{SolverKind::Dense, "unchanged"};
        const Status status = ChooseSolver(*row.body, row.forced, row.tables, choice, row.potentials);
        const std::string said = status ? choice.Text() : status.message;
        EXPECT_EQ(said.rfind(row.expected, 0), 0u) << said;
        if (!status) {
            EXPECT_EQ(choice.reason, "unchanged");
        }
    }
    SolverKind kind{};
    EXPECT_TRUE(ReadSolverName("symmetric", kind) && kind == SolverKind::Symmetric);
    EXPECT_FALSE(ReadSolverName("Symmetric", kind));
}

}  // namespace
}  // namespace panelflow
