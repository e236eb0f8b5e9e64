// SPDX-License-Identifier: GPL-3.0-or-later
#include "solver/Assembly.h"

#include <gtest/gtest.h>

#include <cmath>
#include <array>
#include <string>
#include <vector>

#include "base/NumberText.h"
#include "geometry/BodyOfRevolution.h"
#include "geometry/PanelGeometry.h"
#include "solver/DenseSolver.h"
#include "solver/SurfaceVelocity.h"
#include "support/PanelQuadrature.h"
#include "support/PanelTestSupport.h"

namespace panelflow {
namespace {

using testing::Vec3;

PanelModel Sphere(int NI, int NJ) { return testing::SpherePanels(NI, NJ); }

using testing::Corner;
using testing::Fixed;

const FreeStream kUnitStream{1.0, 0.0, 0.0};

TEST(Assembly, SelfInfluenceIsOneHalfAndRightHandSideIsTheNormalInflow) {
    const PanelModel model = Sphere(4, 4);
    const FreeStream vinf{0.6, -0.3, 0.2};
    InfluenceMatrices solution;
    AssembleInfluenceMatrices(model, vinf, solution);
    ASSERT_EQ(solution.N, 16);
    ASSERT_EQ(solution.vNorm.upper1(), 16);
    ASSERT_EQ(solution.vNorm.upper2(), 17);
    ASSERT_EQ(solution.uTan.upper2(), 17);
    ASSERT_EQ(solution.vTan.upper2(), 17);
    long m = 0;
    for (int i = 1; i <= 4; ++i) {
        for (int j = 1; j <= 4; ++j) {
            ++m;
            EXPECT_NEAR(solution.vNorm(m, m), 0.5, 1e-14) << "panel " << m;
            EXPECT_DOUBLE_EQ(solution.vNorm(m, 17), -(model.ZtaX(i, j) * 0.6 - model.ZtaY(i, j) * 0.3 +
                                                      model.ZtaZ(i, j) * 0.2));
            EXPECT_EQ(solution.uTan(m, 17), 0.0);
            EXPECT_EQ(solution.vTan(m, 17), 0.0);
        }
    }
}

TEST(Assembly, EveryCoefficientIsTheQuadratureOfTheSourcePanelProjectedOnTheFieldAxes) {
    const PanelModel model = Sphere(4, 4);
    InfluenceMatrices solution;
    AssembleInfluenceMatrices(model, kUnitStream, solution);
    long m = 0;
    for (int i = 1; i <= 4; ++i) {
        for (int j = 1; j <= 4; ++j) {
            ++m;
            const Vec3 P{model.xC(i, j), model.yC(i, j), model.zC(i, j)};
            long n = 0;
            for (int k = 1; k <= 4; ++k) {
                for (int l = 1; l <= 4; ++l) {
                    if (++n == m) continue;
                    const Vec3 V = testing::QuadratureVelocity(
                        {Corner(model, k, l, 1), Corner(model, k, l, 2), Corner(model, k, l, 3), Corner(model, k, l, 4)}, P);
                    const auto along = [&](double ax, double ay, double az) { return V[0] * ax + V[1] * ay + V[2] * az; };
                    SCOPED_TRACE("row " + std::to_string(m) + ", column " + std::to_string(n));
                    EXPECT_NEAR(solution.uTan(m, n), along(model.XsiX(i, j), model.XsiY(i, j), model.XsiZ(i, j)), 1e-7);
                    EXPECT_NEAR(solution.vTan(m, n), along(model.ItaX(i, j), model.ItaY(i, j), model.ItaZ(i, j)), 1e-7);
                    EXPECT_NEAR(solution.vNorm(m, n), along(model.ZtaX(i, j), model.ZtaY(i, j), model.ZtaZ(i, j)), 1e-7);
                }
            }
        }
    }
}

TEST(Assembly, SphereWithFourByFourPanelsHasTheReferenceFirstRows) {
    const PanelModel model = Sphere(4, 4);
    InfluenceMatrices solution;
    AssembleInfluenceMatrices(model, kUnitStream, solution);
    const std::vector<std::string> normal = {"0.5000", "0.0255", "0.0224", "0.0255", "0.0737", "0.0537",
                                             "0.0451", "0.0537", "0.0328", "0.0309", "0.0292", "0.0309",
                                             "0.0074", "0.0074", "0.0073", "0.0074", "0.8629"};
    const std::vector<std::string> uTan = {"0.0154",  "0.0985",  "0.0349",  "-0.0042", "-0.1489", "0.0487",
                                           "0.0253",  "-0.0495", "-0.0258", "0.0050",  "0.0042",  "-0.0188",
                                           "-0.0034", "-0.0009", "-0.0008", "-0.0030"};
    const std::vector<std::string> vTan = {"-0.0133", "0.0188",  "-0.0301", "-0.1002", "0.1285", "0.0572",
                                           "-0.0218", "-0.0566", "0.0223",  "0.0197",  "-0.0036", "-0.0078",
                                           "0.0029",  "0.0029",  "0.0007",  "0.0004"};
    for (long n = 1; n <= 17; ++n) EXPECT_EQ(Fixed(solution.vNorm(1, n), 4), normal[n - 1]) << "column " << n;
    for (long n = 1; n <= 16; ++n) EXPECT_EQ(Fixed(solution.uTan(1, n), 4), uTan[n - 1]) << "column " << n;
    for (long n = 1; n <= 16; ++n) EXPECT_EQ(Fixed(solution.vTan(1, n), 4), vTan[n - 1]) << "column " << n;
}

// A body with a flat base, as users draw them: an elliptic nose, a cylinder and a base of three
// rings at x = 2. Moving the base's points along x by a billionth puts control points a hair's
// breadth off other base panels' planes, on the lines of their sides where NJ is odd.
Array2D<double> FlatBaseOneMinusCp(int NJ, double baseShift) {
    const std::vector<std::array<double, 2>> points = {{0.0, 0.0}, {0.05, 0.15}, {0.2, 0.26}, {0.5, 0.3}, {1.0, 0.3},
                                                       {1.5, 0.3}, {2.0, 0.3},  {2.0, 0.2},  {2.0, 0.1}, {2.0, 0.0}};
    PanelModel model;
    testing::SetCounts(model, static_cast<int>(points.size()) - 1, NJ);
    BodyProfile profile;
    profile.xI = Array1D<double>(model.NI1);
    profile.rI = Array1D<double>(model.NI1);
    for (int i = 1; i <= model.NI1; ++i) {
        const bool base = i > 7;
        profile.xI(i) = points[i - 1][0] + (base ? (i % 2 == 0 ? baseShift : -baseShift) : 0.0);
        profile.rI(i) = points[i - 1][1];
    }
    BuildBodyOfRevolution(profile, model);
    EXPECT_TRUE(BuildPanels(model).ok);
    SolverOutput output;
    EXPECT_TRUE(DenseSolve(model, StreamProblem(kUnitStream), output).ok);
    EXPECT_FALSE(output.zeroPivot);
    SurfaceSolution surface;
    SurfaceVelocity(model, kUnitStream, output.solutions.front(), surface);
    return surface.OneMinusCp;
}

TEST(Assembly, FlatBaseMovedByABillionthOrATrillionthSolvesLikeTheFlatBase) {
    for (int NJ = 7; NJ <= 15; ++NJ) {
        const Array2D<double> flat = FlatBaseOneMinusCp(NJ, 0.0);
        for (const double shift : {1e-9, 1e-12}) {
            const Array2D<double> moved = FlatBaseOneMinusCp(NJ, shift);
            double largest = 0.0;
            for (int i = 1; i <= 9; ++i)
                for (int j = 1; j <= NJ; ++j) largest = std::fmax(largest, std::fabs(moved(i, j) - flat(i, j)));
            EXPECT_LT(largest, 1e-6) << "NJ " << NJ << ", base moved by " << shift;
        }
    }
}

// -------------------------------------------------------------------------------------------

}  // namespace
}  // namespace panelflow
