// SPDX-License-Identifier: GPL-3.0-or-later
#include "geometry/PanelGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>

#include "support/PanelTestSupport.h"

namespace panelflow {
namespace {

using testing::GridOf;
using testing::Point;
using testing::SetNode;
using testing::SpherePanels;

constexpr double kFourDecimals = 5e-5;

struct Vec {
    double x, y, z;
};
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec Cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Norm(Vec a) { return std::sqrt(Dot(a, a)); }

Vec CornerOf(const PanelModel& m, int i, int j, int k) {
    return {m.xCorner(i, j, k), m.yCorner(i, j, k), m.zCorner(i, j, k)};
}
Vec ControlPoint(const PanelModel& m, int i, int j) { return {m.xC(i, j), m.yC(i, j), m.zC(i, j)}; }
Vec XsiOf(const PanelModel& m, int i, int j) { return {m.XsiX(i, j), m.XsiY(i, j), m.XsiZ(i, j)}; }
Vec ItaOf(const PanelModel& m, int i, int j) { return {m.ItaX(i, j), m.ItaY(i, j), m.ItaZ(i, j)}; }
Vec ZtaOf(const PanelModel& m, int i, int j) { return {m.ZtaX(i, j), m.ZtaY(i, j), m.ZtaZ(i, j)}; }

void ExpectNear(Vec actual, Vec expected, double tolerance, const std::string& what) {
    EXPECT_NEAR(actual.x, expected.x, tolerance) << what << " x";
    EXPECT_NEAR(actual.y, expected.y, tolerance) << what << " y";
    EXPECT_NEAR(actual.z, expected.z, tolerance) << what << " z";
}

TEST(PanelGeometryTest, FourByFourSphereMatchesTheReferenceValuesOfPanelTwoOne) {
    const PanelModel m = SpherePanels(4, 4);
    ASSERT_EQ(m.nCorner(2, 1), 4);
    ExpectNear(CornerOf(m, 2, 1, 1), {0.1464, 0.0, -0.3536}, kFourDecimals, "P1");
    ExpectNear(CornerOf(m, 2, 1, 2), {0.5, 0.0, -0.5}, kFourDecimals, "P2");
    ExpectNear(CornerOf(m, 2, 1, 3), {0.5, 0.5, 0.0}, kFourDecimals, "P3");
    ExpectNear(CornerOf(m, 2, 1, 4), {0.1464, 0.3536, 0.0}, kFourDecimals, "P4");
    ExpectNear(ControlPoint(m, 2, 1), {0.3232, 0.2134, -0.2134}, kFourDecimals, "C");
    ExpectNear(XsiOf(m, 2, 1), {0.9239, 0.0, -0.3827}, kFourDecimals, "xi");
    ExpectNear(ItaOf(m, 2, 1), {-0.2597, -0.7345, -0.6269}, kFourDecimals, "eta");
    ExpectNear(ZtaOf(m, 2, 1), {-0.2811, 0.6786, -0.6786}, kFourDecimals, "zeta");
    const double Xsi[] = {-0.1097, 0.2730, 0.0817, -0.2450};
    const double Ita[] = {0.2905, 0.2905, -0.3902, -0.1908};
    for (int k = 1; k <= 4; ++k) {
        EXPECT_NEAR(m.Xsi(2, 1, k), Xsi[k - 1], kFourDecimals) << "k = " << k;
        EXPECT_NEAR(m.Ita(2, 1, k), Ita[k - 1], kFourDecimals) << "k = " << k;
    }
}

TEST(PanelGeometryTest, FourByFourSphereLastRowTriangleClosesOnItsFourthCorner) {
    const PanelModel m = SpherePanels(4, 4);
    ASSERT_EQ(m.nCorner(4, 1), 3);
    ExpectNear(CornerOf(m, 4, 1, 2), {1.0, 0.0, 0.0}, 1e-15, "pole");
    ExpectNear(CornerOf(m, 4, 1, 3), {0.8536, 0.3536, 0.0}, kFourDecimals, "P3");
    EXPECT_EQ(m.xCorner(4, 1, 3), m.xCorner(4, 1, 4));
    EXPECT_EQ(m.yCorner(4, 1, 3), m.yCorner(4, 1, 4));
    EXPECT_EQ(m.zCorner(4, 1, 3), m.zCorner(4, 1, 4));
    ExpectNear(ZtaOf(m, 4, 1), {0.8629, 0.3574, -0.3574}, kFourDecimals, "zeta");
    const double Xsi[] = {-0.2364, 0.1462, 0.0902};
    const double Ita[] = {0.1262, 0.1262, -0.2524};
    for (int k = 1; k <= 3; ++k) {
        EXPECT_NEAR(m.Xsi(4, 1, k), Xsi[k - 1], kFourDecimals) << "k = " << k;
        EXPECT_NEAR(m.Ita(4, 1, k), Ita[k - 1], kFourDecimals) << "k = " << k;
    }
    EXPECT_EQ(m.Xsi(4, 1, 4), 0.0);
    EXPECT_EQ(m.Ita(4, 1, 4), 0.0);
}

class SpherePanelInvariantsTest : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(SpherePanelInvariantsTest, EveryPanelHasAnOutwardRightHandedTriadAroundItsCornerMean) {
    const auto [NI, NJ] = GetParam();
    const PanelModel m = SpherePanels(NI, NJ);
    const Vec centre{0.5, 0.0, 0.0};
    for (int i = 1; i <= NI; ++i) {
        for (int j = 1; j <= NJ; ++j) {
            const std::string panel = "panel (" + std::to_string(i) + ", " + std::to_string(j) + ")";
            const int n = m.nCorner(i, j);
            ASSERT_EQ(n, (i == 1 || i == NI) ? 3 : 4) << panel;
            const Vec xi = XsiOf(m, i, j), eta = ItaOf(m, i, j), zeta = ZtaOf(m, i, j);
            const Vec C = ControlPoint(m, i, j);
            EXPECT_NEAR(Norm(xi), 1.0, 1e-14) << panel;
            EXPECT_NEAR(Norm(eta), 1.0, 1e-14) << panel;
            EXPECT_NEAR(Norm(zeta), 1.0, 1e-14) << panel;
            EXPECT_NEAR(Dot(xi, zeta), 0.0, 1e-14) << panel;
            ExpectNear(Cross(xi, eta), zeta, 1e-14, panel + " xi x eta");
            EXPECT_GT(Dot(zeta, C - centre), 0.0) << panel << ": the normal points into the body";

            // Xi runs from corner 1 to corner 2; zeta is normal to the plane of corners 1, 2, 3.
            const Vec P1 = CornerOf(m, i, j, 1), P2 = CornerOf(m, i, j, 2), P3 = CornerOf(m, i, j, 3);
            EXPECT_NEAR(Dot(P2 - P1, xi), Norm(P2 - P1), 1e-14) << panel;
            EXPECT_NEAR(Dot(P3 - P1, zeta), 0.0, 1e-14) << panel;

            double sumX = 0.0, sumY = 0.0, sumZ = 0.0, sumXsi = 0.0, sumIta = 0.0;
            for (int k = 1; k <= n; ++k) {
                const Vec P = CornerOf(m, i, j, k);
                sumX += P.x;
                sumY += P.y;
                sumZ += P.z;
                sumXsi += m.Xsi(i, j, k);
                sumIta += m.Ita(i, j, k);
                const Vec d = P - C;
                EXPECT_NEAR(m.Xsi(i, j, k), Dot(d, xi), 1e-14) << panel << " k = " << k;
                EXPECT_NEAR(m.Ita(i, j, k), Dot(d, eta), 1e-14) << panel << " k = " << k;
            }
            ExpectNear(C, {sumX / n, sumY / n, sumZ / n}, 1e-15, panel + " C");
            EXPECT_NEAR(sumXsi, 0.0, 1e-14) << panel;
            EXPECT_NEAR(sumIta, 0.0, 1e-14) << panel;
            // A triangle is flat: its corners lie in the xi-eta plane at their full distance.
            if (n == 3) {
                for (int k = 1; k <= 3; ++k) {
                    const Vec d = CornerOf(m, i, j, k) - C;
                    EXPECT_NEAR(std::hypot(m.Xsi(i, j, k), m.Ita(i, j, k)), Norm(d), 1e-14) << panel;
                }
                EXPECT_EQ(m.Xsi(i, j, 4), 0.0) << panel;
                EXPECT_EQ(m.Ita(i, j, 4), 0.0) << panel;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Spheres, SpherePanelInvariantsTest,
                         ::testing::Values(std::pair{2, 3}, std::pair{3, 5}, std::pair{4, 4}, std::pair{7, 6},
                                           std::pair{16, 12}, std::pair{40, 3}));

// A cone: row 1 a circle of radius 1 in the plane x = 0, row 2 the apex (1, 0, 0).
Point ConeNode(int i, int j, int NJ) {
    if (i == 2) return {1.0, 0.0, 0.0};
    const double theta = -Pi / 2 + (j - 1) * TwoPi / NJ;
    return {0.0, std::cos(theta), std::sin(theta)};
}

TEST(PanelGeometryTest, SingleRowGridGivesTrianglesOfTwoFirstRowNodesAndOneSecondRowNode) {
    PanelModel m = GridOf(1, 3, [](int i, int j) { return ConeNode(i, j, 3); });
    const Status status = BuildPanels(m);
    ASSERT_TRUE(status.ok) << status.message;
    for (int j = 1; j <= 3; ++j) {
        EXPECT_EQ(m.nCorner(1, j), 3);
        const Vec node1{m.xNode(1, j), m.yNode(1, j), m.zNode(1, j)};
        const Vec node2{m.xNode(2, j), m.yNode(2, j), m.zNode(2, j)};
        const Vec node4{m.xNode(1, j + 1), m.yNode(1, j + 1), m.zNode(1, j + 1)};
        ExpectNear(CornerOf(m, 1, j, 1), node1, 0.0, "corner 1");
        ExpectNear(CornerOf(m, 1, j, 2), node2, 0.0, "corner 2");
        ExpectNear(CornerOf(m, 1, j, 3), node4, 0.0, "corner 3");
        ExpectNear(CornerOf(m, 1, j, 4), node4, 0.0, "corner 4");
    }
}

TEST(PanelGeometryTest, TwoRowSphereHasOnlyTriangles) {
    const PanelModel m = SpherePanels(2, 5);
    for (int i = 1; i <= 2; ++i)
        for (int j = 1; j <= 5; ++j) EXPECT_EQ(m.nCorner(i, j), 3) << i << ", " << j;
}

TEST(PanelGeometryTest, RebuildWithSmallerCountsLeavesNothingOfTheLargerGeometry) {
    // With NI = 6 row 5 holds quadrilaterals; with NI = 5 it is the last row of triangles.
    PanelModel m = SpherePanels(6, 6);
    ASSERT_NE(m.Xsi(5, 1, 4), 0.0);
    PanelModel smaller = testing::SphereGrid(5, 4);
    m.NI = smaller.NI;
    m.NJ = smaller.NJ;
    m.NI1 = smaller.NI1;
    m.NJ1 = smaller.NJ1;
    m.xNode = smaller.xNode;
    m.yNode = smaller.yNode;
    m.zNode = smaller.zNode;
    ASSERT_TRUE(BuildPanels(m).ok);

    EXPECT_EQ(m.nCorner.upper1(), 5);
    EXPECT_EQ(m.nCorner.upper2(), 4);
    EXPECT_EQ(m.xC.upper2(), 4);
    EXPECT_EQ(m.Xsi.upper1(), 5);
    EXPECT_EQ(m.xCorner.upper1(), 6);
    EXPECT_EQ(m.xCorner.upper2(), 5);
    for (int j = 1; j <= 4; ++j) {
        EXPECT_EQ(m.nCorner(5, j), 3);
        EXPECT_EQ(m.Xsi(5, j, 4), 0.0);
        EXPECT_EQ(m.Ita(5, j, 4), 0.0);
    }
    // The corner arrays' extra row and column stay zero.
    for (int k = 0; k <= 4; ++k) {
        for (int j = 0; j <= 5; ++j) {
            EXPECT_EQ(m.xCorner(6, j, k), 0.0);
            EXPECT_EQ(m.yCorner(6, j, k), 0.0);
        }
        for (int i = 0; i <= 6; ++i) EXPECT_EQ(m.zCorner(i, 5, k), 0.0);
    }
}

class MovedFourthCornerTest : public ::testing::TestWithParam<bool> {};

TEST_P(MovedFourthCornerTest, MovesTheControlPointByAQuarterAndKeepsTheAxes) {
    const bool alongNormal = GetParam();
    const PanelModel before = SpherePanels(4, 4);
    PanelModel after = testing::SphereGrid(4, 4);
    // Corner 4 of panel (2, 1) is node (2, 2).
    const Vec d = alongNormal ? Vec{0.04 * before.ZtaX(2, 1), 0.04 * before.ZtaY(2, 1), 0.04 * before.ZtaZ(2, 1)}
                              : Vec{0.03, -0.02, 0.05};
    SetNode(after, 2, 2, {after.xNode(2, 2) + d.x, after.yNode(2, 2) + d.y, after.zNode(2, 2) + d.z});
    ASSERT_TRUE(BuildPanels(after).ok);

    const Vec C0 = ControlPoint(before, 2, 1);
    ExpectNear(ControlPoint(after, 2, 1), {C0.x + d.x / 4, C0.y + d.y / 4, C0.z + d.z / 4}, 1e-15, "C");
    ExpectNear(XsiOf(after, 2, 1), XsiOf(before, 2, 1), 0.0, "xi");
    ExpectNear(ItaOf(after, 2, 1), ItaOf(before, 2, 1), 0.0, "eta");
    ExpectNear(ZtaOf(after, 2, 1), ZtaOf(before, 2, 1), 0.0, "zeta");
    if (alongNormal) {
        for (int k = 1; k <= 4; ++k) {
            EXPECT_NEAR(after.Xsi(2, 1, k), before.Xsi(2, 1, k), 1e-15) << "k = " << k;
            EXPECT_NEAR(after.Ita(2, 1, k), before.Ita(2, 1, k), 1e-15) << "k = " << k;
        }
    } else {
        EXPECT_GT(std::fabs(after.Xsi(2, 1, 4) - before.Xsi(2, 1, 4)), 1e-3);
    }
}

INSTANTIATE_TEST_SUITE_P(Displacements, MovedFourthCornerTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "AlongTheNormal" : "Oblique"; });

// A flat sheet in the plane z = 0 with node (i, j) at (i, j, 0): every panel is sound.
PanelModel FlatSheet() {
    return GridOf(4, 4, [](int i, int j) { return Point{double(i), double(j), 0.0}; });
}

struct DegenerateCase {
    const char* name;
    PanelModel (*grid)();
    const char* message;
};

void PrintTo(const DegenerateCase& c, std::ostream* os) { *os << c.name; }

class DegenerateGridTest : public ::testing::TestWithParam<DegenerateCase> {};

TEST_P(DegenerateGridTest, IsRefusedNamingTheFirstDegeneratePanel) {
    PanelModel m = GetParam().grid();
    const Status status = BuildPanels(m);
    EXPECT_FALSE(status.ok);
    EXPECT_EQ(status.message, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Grids, DegenerateGridTest,
    ::testing::Values(
        DegenerateCase{"OneRowSphere", [] { return testing::SphereGrid(1, 4); },
                       "Panel (1, 1) is degenerate: its corners 1, 2 and 3 lie on one line."},
        DegenerateCase{"OneColumnSphere", [] { return testing::SphereGrid(4, 1); },
                       "Panel (1, 1) is degenerate: its corners 1, 2 and 3 lie on one line."},
        DegenerateCase{"CoincidentCornersOneAndTwo",
                       [] {
                           PanelModel m = testing::SphereGrid(4, 4);
                           SetNode(m, 3, 3, {m.xNode(2, 3), m.yNode(2, 3), m.zNode(2, 3)});
                           return m;
                       },
                       "Panel (2, 3) is degenerate: its corners 1 and 2 coincide."},
        // Panel (2, 4) on one line and panel (3, 1) with coincident corners: rows come first.
        DegenerateCase{"TwoFaultsRowByRow",
                       [] {
                           PanelModel m = FlatSheet();
                           SetNode(m, 3, 5, {4.0, 4.0, 0.0});
                           SetNode(m, 4, 1, {3.0, 1.0, 0.0});
                           return m;
                       },
                       "Panel (2, 4) is degenerate: its corners 1, 2 and 3 lie on one line."},
        DegenerateCase{"AllCornersInOnePoint",
                       [] { return GridOf(2, 2, [](int, int) { return Point{1.0, 2.0, 3.0}; }); },
                       "Panel (1, 1) is degenerate: its corners 1 and 2 coincide."},
        DegenerateCase{"NotANumber",
                       [] {
                           PanelModel m = FlatSheet();
                           SetNode(m, 3, 3, {std::numeric_limits<double>::quiet_NaN(), 3.0, 0.0});
                           return m;
                       },
                       "Panel (2, 2) cannot be computed: its corner coordinates are not finite numbers or are "
                       "too large."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PanelGeometryTest, FlatSheetIsAccepted) {
    PanelModel m = FlatSheet();
    const Status status = BuildPanels(m);
    EXPECT_TRUE(status.ok) << status.message;
    EXPECT_EQ(m.ZtaZ(2, 2), -1.0);
}

}  // namespace
}  // namespace panelflow
