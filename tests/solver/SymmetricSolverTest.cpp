// SPDX-License-Identifier: GPL-3.0-or-later
// The symmetric solver against the dense one on small bodies of revolution: the same strengths
// and tangential velocities for axial and oblique streams, odd and even NJ, a profile body, a
// body's own motion and an onset flow with higher modes around the body.

#include "solver/SymmetricSolver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "geometry/BodyOfRevolution.h"
#include "geometry/PanelGeometry.h"
#include "solver/DenseSolver.h"
#include "support/PanelTestSupport.h"
#include "support/RecordingProgress.h"

namespace panelflow {
namespace {

// A 3:1 body with a blunt nose and a pointed tail, revolved like a profile file.
PanelModel ProfileBody(int NI, int NJ) {
    PanelModel model;
    testing::SetCounts(model, NI, NJ);
    BodyProfile profile;
    profile.xI = Array1D<double>(NI + 1);
    profile.rI = Array1D<double>(NI + 1);
    for (int i = 1; i <= NI + 1; ++i) {
        const double t = static_cast<double>(i - 1) / NI;
        profile.xI(i) = 3.0 * t;
        profile.rI(i) = i == NI + 1 ? 0.0 : std::sqrt(t) * (1.0 - t);
    }
    BuildBodyOfRevolution(profile, model);
    EXPECT_TRUE(BuildPanels(model).ok);
    return model;
}

OnsetFlow PerPanel(const PanelModel& model, const std::function<void(int, int, double&, double&, double&)>& velocity) {
    OnsetFlow onset;
    onset.Vx = Array2D<double>(model.NI, model.NJ);
    onset.Vy = Array2D<double>(model.NI, model.NJ);
    onset.Vz = Array2D<double>(model.NI, model.NJ);
    for (int i = 1; i <= model.NI; ++i)
        for (int j = 1; j <= model.NJ; ++j) velocity(i, j, onset.Vx(i, j), onset.Vy(i, j), onset.Vz(i, j));
    return onset;
}

struct Case {
    std::string name;
    std::function<PanelModel()> body;
    std::function<FlowProblem(const PanelModel&)> problem;
    bool drivesSources = true;  // two columns make a flat plate in the x-z plane, which the axial stream leaves alone
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

FlowProblem Stream(double x, double y, double z) { return StreamProblem({x, y, z}); }

class AgainstDense : public ::testing::TestWithParam<Case> {};

TEST_P(AgainstDense, StrengthsAndTangentialVelocitiesAgree) {
    const PanelModel model = GetParam().body();
    ASSERT_TRUE(model.BodyOfRevolution);
    const FlowProblem problem = GetParam().problem(model);
    SolverOutput symmetric, dense;
    ASSERT_TRUE(SymmetricSolve(model, problem, symmetric).ok);
    ASSERT_TRUE(DenseSolve(model, problem, dense).ok);
    ASSERT_FALSE(symmetric.zeroPivot);
    ASSERT_EQ(symmetric.solutions.size(), problem.onsets.size());
    for (std::size_t r = 0; r < problem.onsets.size(); ++r) {
        const OnsetSolution &s = symmetric.solutions[r], &d = dense.solutions[r];
        double scale = 0.0;
        for (int i = 1; i <= model.NI; ++i)
            for (int j = 1; j <= model.NJ; ++j) scale = std::fmax(scale, std::fabs(d.Sigma(i, j)));
        if (GetParam().drivesSources) {
            ASSERT_GT(scale, 0.01) << "the onset flow must drive the sources";
        }
        for (int i = 1; i <= model.NI; ++i)
            for (int j = 1; j <= model.NJ; ++j) {
                ASSERT_NEAR(s.Sigma(i, j), d.Sigma(i, j), 1e-11) << r << ": " << i << ", " << j;
                ASSERT_NEAR(s.ut(i, j), d.ut(i, j), 1e-11) << r << ": " << i << ", " << j;
                ASSERT_NEAR(s.vt(i, j), d.vt(i, j), 1e-11) << r << ": " << i << ", " << j;
            }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, AgainstDense,
    ::testing::Values(
        Case{"SphereAxialOddNJ", [] { return testing::SpherePanels(8, 7); }, [](const PanelModel&) { return Stream(1, 0, 0); }},
        Case{"SphereObliqueEvenNJ", [] { return testing::SpherePanels(9, 6); },
             [](const PanelModel&) { return Stream(0.3, 1, 0.5); }},
        Case{"SphereOfTwoColumns", [] { return testing::SpherePanels(10, 2); }, [](const PanelModel&) { return Stream(1, 0, 0); },
             false},
        Case{"ProfileBodyObliqueAndAcross", [] { return ProfileBody(12, 9); },
             [](const PanelModel&) {
                 FlowProblem problem = Stream(1, 2, 3);
                 problem.onsets.push_back(Stream(0, 0, -1).onsets.front());
                 return problem;
             }},
        // A body turning about y, seen from the body: -(e_y x r) = (-z, 0, x) at the control point.
        Case{"ProfileBodyTurning", [] { return ProfileBody(10, 8); },
             [](const PanelModel& model) {
                 FlowProblem problem;
                 problem.onsets.push_back(PerPanel(model, [&](int i, int j, double& x, double& y, double& z) {
                     x = -model.zC(i, j), y = 0.0, z = model.xC(i, j);
                 }));
                 return problem;
             }},
        // Modes 0 to 3 around the body: the solver must find them all.
        Case{"HigherModes", [] { return testing::SpherePanels(8, 11); },
             [](const PanelModel& model) {
                 FlowProblem problem;
                 problem.onsets.push_back(PerPanel(model, [&](int i, int j, double& x, double& y, double& z) {
                     const double r = std::hypot(model.yC(i, j), model.zC(i, j));
                     const double cos3 = std::cos(3.0 * std::atan2(model.zC(i, j), model.yC(i, j)));
                     x = 0.2 + cos3, y = r * cos3, z = 0.0;
                 }));
                 return problem;
             }}),
    [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

// Progress shows the sweep, then the modes' systems; a wish to stop ends the solution with
// Cancelled before anything is given back.
TEST(SymmetricSolver, ReportsItsStagesAndStopsWhenAsked) {
    const PanelModel model = testing::SpherePanels(40, 30);
    testing::RecordingProgress progress;
    SolverOutput output;
    ASSERT_TRUE(SymmetricSolve(model, Stream(0.3, 1, 0.5), output, &progress).ok);
    EXPECT_EQ(progress.stages, (std::vector<std::string>{"influence coefficients", "elimination"}));
    EXPECT_EQ(progress.fractions["influence coefficients"].back(), 1.0);
    EXPECT_EQ(progress.fractions["elimination"].size(), 2u) << "modes 0 and 1";
    EXPECT_TRUE(progress.badFractions.empty());

    struct Stopping : Progress {
        void Report(std::string_view, double) override {}
        bool StopRequested() const override { return true; }
    } stopping;
    SolverOutput untouched;
    EXPECT_THROW(SymmetricSolve(model, Stream(1, 0, 0), untouched, &stopping), Cancelled);
    EXPECT_TRUE(untouched.solutions.empty());
}

}  // namespace
}  // namespace panelflow
