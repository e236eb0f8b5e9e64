// SPDX-License-Identifier: GPL-3.0-or-later
#include "solver/SourcePanelVelocity.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "support/NearPlanePoints.h"
#include "support/PanelQuadrature.h"

namespace panelflow {
namespace {

// A flat panel in its own axes: corners 1..n at (xsi[k], ita[k]), entry 0 unused, clockwise
// seen from +zeta, measured from the corner mean (the control point).
struct Polygon {
    std::string name;
    int n = 4;
    std::array<double, 5> xsi{};
    std::array<double, 5> ita{};
};

Polygon Centred(std::string name, std::vector<std::array<double, 2>> corners) {
    Polygon p;
    p.name = std::move(name);
    p.n = static_cast<int>(corners.size());
    double mx = 0.0, my = 0.0;
    for (const auto& c : corners) { mx += c[0]; my += c[1]; }
    mx /= p.n;
    my /= p.n;
    for (int k = 1; k <= p.n; ++k) {
        p.xsi[k] = corners[k - 1][0] - mx;
        p.ita[k] = corners[k - 1][1] - my;
    }
    return p;
}

const Polygon& Square() {
    static const Polygon p = Centred("Square", {{-1, -1}, {-1, 1}, {1, 1}, {1, -1}});
    return p;
}
const Polygon& Triangle() {
    static const Polygon p = Centred("Triangle", {{-0.7, -0.4}, {0.1, 0.9}, {0.8, -0.5}});
    return p;
}
const Polygon& Quadrilateral() {
    static const Polygon p = Centred("Quadrilateral", {{-0.6, -0.3}, {-0.4, 0.5}, {0.7, 0.8}, {0.9, -0.6}});
    return p;
}

struct Velocity {
    double u = 0.0, v = 0.0, w = 0.0;
};

Velocity Induced(const Polygon& p, double x, double y, double z) {
    Velocity V;
    SourcePanelVelocity(p.n, p.xsi.data(), p.ita.data(), x, y, z, V.u, V.v, V.w);
    return V;
}

// The quadrature of the panel in its own plane zeta = 0.
Velocity Quadrature(const Polygon& p, double x, double y, double z) {
    const int k4 = p.n == 4 ? 4 : 3;
    const std::array<testing::Vec3, 4> corners = {testing::Vec3{p.xsi[1], p.ita[1], 0.0}, testing::Vec3{p.xsi[2], p.ita[2], 0.0},
                                                  testing::Vec3{p.xsi[3], p.ita[3], 0.0}, testing::Vec3{p.xsi[k4], p.ita[k4], 0.0}};
    const testing::Vec3 V = testing::QuadratureVelocity(corners, {x, y, z});
    return {V[0], V[1], V[2]};
}

double Area(const Polygon& p) {
    double twice = 0.0;
    for (int k = 1; k <= p.n; ++k) {
        const int next = k == p.n ? 1 : k + 1;
        twice += p.xsi[k] * p.ita[next] - p.xsi[next] * p.ita[k];
    }
    return std::fabs(twice) / 2.0;
}

// ---------------------------------------------------------------------------------------------

struct WorkedExample {
    double x, y, z, u, v, w;
};

void PrintTo(const WorkedExample& e, std::ostream* os) { *os << "(" << e.x << ", " << e.y << ", " << e.z << ")"; }

class SquareWorkedExample : public ::testing::TestWithParam<WorkedExample> {};

TEST_P(SquareWorkedExample, MatchesTheKnownVelocityToSixDecimals) {
    const WorkedExample& e = GetParam();
    const Velocity V = Induced(Square(), e.x, e.y, e.z);
    EXPECT_NEAR(V.u, e.u, 5e-7);
    EXPECT_NEAR(V.v, e.v, 5e-7);
    EXPECT_NEAR(V.w, e.w, 5e-7);
}

INSTANTIATE_TEST_SUITE_P(Points, SquareWorkedExample,
                         ::testing::Values(WorkedExample{3.0, 0.0, 1.0, 0.030763, 0.0, 0.011340},
                                           WorkedExample{0.3, 0.2, 0.5, 0.050875, 0.033036, 0.283524},
                                           WorkedExample{0.3, 0.2, -0.5, 0.050875, 0.033036, -0.283524}));

TEST(SourcePanelVelocity, OwnControlPointSeesExactlyOneHalfAndARectangleNoInPlaneVelocity) {
    for (const Polygon* p : {&Square(), &Triangle(), &Quadrilateral()}) {
        SCOPED_TRACE(p->name);
        const Velocity V = Induced(*p, 0.0, 0.0, 0.0);
        EXPECT_EQ(V.w, 0.5);
        EXPECT_TRUE(std::isfinite(V.u) && std::isfinite(V.v));
    }
    const Velocity V = Induced(Square(), 0.0, 0.0, 0.0);
    EXPECT_NEAR(V.u, 0.0, 1e-15);
    EXPECT_NEAR(V.v, 0.0, 1e-15);
    // An asymmetric panel does induce a velocity along itself at its own control point.
    const Velocity T = Induced(Quadrilateral(), 0.0, 0.0, 0.0);
    EXPECT_GT(std::hypot(T.u, T.v), 1e-3);
}

TEST(SourcePanelVelocity, PointInThePlaneInsideThePanelCountsAsAboveIt) {
    for (const double z : {0.0, -0.0}) {
        for (const auto& xy : std::vector<std::array<double, 2>>{{0.2, 0.1}, {-0.9, 0.95}, {0.99, -0.5}}) {
            EXPECT_EQ(Induced(Square(), xy[0], xy[1], z).w, 0.5) << xy[0] << ", " << xy[1] << ", " << z;
        }
    }
}

TEST(SourcePanelVelocity, MirrorThroughThePlaneKeepsInPlaneVelocityAndReversesNormal) {
    const std::vector<std::array<double, 3>> points = {
        {0.3, 0.2, 0.5}, {3.0, 0.0, 1.0}, {-2.0, 1.5, 0.01}, {0.1, -0.1, 1e-6}, {-1.0, 0.3, 0.7}, {5.0, -4.0, 20.0}};
    for (const Polygon* p : {&Square(), &Triangle(), &Quadrilateral()}) {
        for (const auto& P : points) {
            SCOPED_TRACE(p->name + " at " + std::to_string(P[0]) + ", " + std::to_string(P[1]) + ", " +
                         std::to_string(P[2]));
            const Velocity above = Induced(*p, P[0], P[1], P[2]);
            const Velocity below = Induced(*p, P[0], P[1], -P[2]);
            EXPECT_EQ(above.u, below.u);
            EXPECT_EQ(above.v, below.v);
            EXPECT_EQ(above.w, -below.w);
        }
    }
}

TEST(SourcePanelVelocity, TriangleReadsNoFourthCorner) {
    Polygon p = Triangle();
    const Velocity clean = Induced(p, 0.4, -0.7, 0.3);
    p.xsi[4] = std::numeric_limits<double>::quiet_NaN();
    p.ita[4] = std::numeric_limits<double>::quiet_NaN();
    const Velocity poisoned = Induced(p, 0.4, -0.7, 0.3);
    EXPECT_EQ(clean.u, poisoned.u);
    EXPECT_EQ(clean.v, poisoned.v);
    EXPECT_EQ(clean.w, poisoned.w);
}

// ---------------------------------------------------------------------------------------------
// The closed form against an independent quadrature of (P - Q) / |P - Q|^3 over the panel.

struct QuadratureCase {
    const Polygon* panel;
    double x, y, z;
};

void PrintTo(const QuadratureCase& c, std::ostream* os) {
    *os << c.panel->name << " at (" << c.x << ", " << c.y << ", " << c.z << ")";
}

class AgreesWithQuadrature : public ::testing::TestWithParam<QuadratureCase> {};

TEST_P(AgreesWithQuadrature, AllThreeComponents) {
    const QuadratureCase& c = GetParam();
    const Velocity closed = Induced(*c.panel, c.x, c.y, c.z);
    const Velocity numeric = Quadrature(*c.panel, c.x, c.y, c.z);
    EXPECT_NEAR(closed.u, numeric.u, 1e-8);
    EXPECT_NEAR(closed.v, numeric.v, 1e-8);
    EXPECT_NEAR(closed.w, numeric.w, 1e-8);
}

std::vector<QuadratureCase> QuadratureCases() {
    std::vector<QuadratureCase> cases;
    const std::vector<std::array<double, 3>> points = {
        {0.3, 0.2, 0.6},    // above the interior
        {0.1, -0.2, -0.8},  // below the interior
        {2.5, -1.0, 0.4},   // beside the panel
        {-1.2, 2.4, 0.8},   // off a corner
        {1.8, 0.5, 0.0},    // in the plane, outside
        {-3.0, -2.0, -1.5},
        {0.0, 0.0, 2.0}};
    for (const Polygon* p : {&Square(), &Triangle(), &Quadrilateral()})
        for (const auto& P : points) cases.push_back({p, P[0], P[1], P[2]});
    // Above a side, above a corner and above a side's extension of the square.
    cases.push_back({&Square(), -1.0, 0.3, 0.7});
    cases.push_back({&Square(), -1.0, 1.0, 0.9});
    cases.push_back({&Square(), -1.0, 2.5, 0.6});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Points, AgreesWithQuadrature, ::testing::ValuesIn(QuadratureCases()),
                         [](const ::testing::TestParamInfo<QuadratureCase>& info) {
                             return info.param.panel->name + "_" + std::to_string(info.index);
                         });

TEST(SourcePanelVelocity, FarAwayThePanelActsAsAPointSourceOfItsArea) {
    const double fourPi = 16.0 * std::atan(1.0);
    const std::vector<std::array<double, 3>> directions = {{1, 0, 0}, {0.6, 0.0, 0.8}, {-0.48, 0.6, -0.64}, {0, 0, 1}};
    for (const Polygon* p : {&Square(), &Triangle(), &Quadrilateral()}) {
        for (const auto& e : directions) {
            for (const double R : {1e3, 1e4, 1e5}) {
                SCOPED_TRACE(p->name + " at distance " + std::to_string(R));
                const Velocity V = Induced(*p, R * e[0], R * e[1], R * e[2]);
                const double strength = Area(*p) / fourPi;
                EXPECT_NEAR(V.u * R * R, strength * e[0], 1e-3 * strength);
                EXPECT_NEAR(V.v * R * R, strength * e[1], 1e-3 * strength);
                EXPECT_NEAR(V.w * R * R, strength * e[2], 1e-3 * strength);
            }
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Where the point lies exactly in the panel's plane or exactly above a side's line, the velocity
// is the continuous limit of its neighbours.

struct ContinuityCase {
    std::string name;
    const Polygon* panel;
    double x, y, z;
    std::array<double, 3> direction;  // the neighbours lie at +-1e-9 along it
    bool bothSides = true;            // false: only the + neighbour (the sheet's jump lies behind)
};

void PrintTo(const ContinuityCase& c, std::ostream* os) {
    *os << c.name << ": " << c.panel->name << " at (" << c.x << ", " << c.y << ", " << c.z << ")";
}

class ContinuousAtExactZero : public ::testing::TestWithParam<ContinuityCase> {};

TEST_P(ContinuousAtExactZero, MatchesTheNeighbouringPoints) {
    const ContinuityCase& c = GetParam();
    const Velocity at = Induced(*c.panel, c.x, c.y, c.z);
    for (const double step : {1e-9, -1e-9}) {
        if (step < 0 && !c.bothSides) continue;
        const Velocity near = Induced(*c.panel, c.x + step * c.direction[0], c.y + step * c.direction[1],
                                      c.z + step * c.direction[2]);
        EXPECT_NEAR(at.u, near.u, 1e-6) << "step " << step;
        EXPECT_NEAR(at.v, near.v, 1e-6) << "step " << step;
        EXPECT_NEAR(at.w, near.w, 1e-6) << "step " << step;
    }
}

std::vector<ContinuityCase> ContinuityCases() {
    const std::array<double, 3> X{1, 0, 0}, Y{0, 1, 0}, Z{0, 0, 1}, XY{0.6, 0.8, 0}, XYZ{0.48, -0.6, 0.64};
    const Polygon* sq = &Square();
    const Polygon* tri = &Triangle();
    // A point on the line of the triangle's side 1 -> 2, beyond corner 2.
    const double tx = tri->xsi[2] + 0.75 * (tri->xsi[2] - tri->xsi[1]);
    const double ty = tri->ita[2] + 0.75 * (tri->ita[2] - tri->ita[1]);
    return {
        {"InPlaneBesideSquare", sq, 3.0, 0.0, 0.0, Z},
        {"InPlaneBesideSquareAcross", sq, 3.0, 0.5, 0.0, XYZ},
        {"InPlaneOffSquareCorner", sq, -2.0, -3.0, 0.0, Z},
        {"InPlaneOffTriangle", tri, 1.5, 1.5, 0.0, Z},
        {"InPlaneOnSideExtension", sq, -1.0, 3.0, 0.0, X},
        {"InPlaneOnSideExtensionVertically", sq, -1.0, 3.0, 0.0, Z},
        {"AboveSideExtension", sq, -1.0, 3.0, 1.0, X},
        {"BelowSideExtension", sq, 2.5, -1.0, -0.4, Y},
        {"AboveTriangleSideExtension", tri, tx, ty, 0.3, XY},
        {"AboveSide", sq, -1.0, 0.3, 0.7, X},
        {"BelowSide", sq, 0.2, 1.0, -0.7, Y},
        {"AboveCornerAlongX", sq, -1.0, 1.0, 0.5, X},
        {"AboveCornerAlongY", sq, -1.0, 1.0, 0.5, Y},
        {"AboveCornerDiagonally", sq, 1.0, -1.0, 0.5, XY},
        {"AboveTriangleCorner", tri, tri->xsi[3], tri->ita[3], 0.4, XY},
        {"InPlaneInsideFromAbove", sq, 0.2, 0.1, 0.0, Z, false},
        {"InPlaneInsideTriangleFromAbove", tri, 0.05, 0.0, 0.0, Z, false},
    };
}

INSTANTIATE_TEST_SUITE_P(Points, ContinuousAtExactZero, ::testing::ValuesIn(ContinuityCases()),
                         [](const ::testing::TestParamInfo<ContinuityCase>& info) { return info.param.name; });

TEST(SourcePanelVelocity, InThePlaneOutsideThePanelNoFlowCrossesThePlane) {
    for (const auto& P : std::vector<std::array<double, 2>>{{3.0, 0.0}, {-1.0, 3.0}, {-2.0, -3.0}, {0.5, -1.5}}) {
        EXPECT_EQ(Induced(Square(), P[0], P[1], 0.0).w, 0.0) << P[0] << ", " << P[1];
        EXPECT_EQ(Induced(Quadrilateral(), P[0], P[1], 0.0).w, 0.0) << P[0] << ", " << P[1];
    }
}

TEST(SourcePanelVelocity, SideWhoseAngleDenominatorVanishesExactlyStillGivesTheSolidAngle) {
    // At this point the first side of the square (from (-1, -1) to (-1, 1)) has
    // a b z^2 + h^2 r r' == 0 in double precision: the side's two arctangents differ by Pi / 2.
    const double x = -0.56488887843997038, y = -0.21470671615259584, z = 0.53911129687818315;
    const double a = -1.0 - y, b = 1.0 - y, h = x + 1.0;
    const double r = std::sqrt((x + 1.0) * (x + 1.0) + (y + 1.0) * (y + 1.0) + z * z);
    const double rPrime = std::sqrt((x + 1.0) * (x + 1.0) + (y - 1.0) * (y - 1.0) + z * z);
    ASSERT_EQ(a * b * z * z + h * h * r * rPrime, 0.0) << "the point no longer makes the denominator vanish";

    const Velocity at = Induced(Square(), x, y, z);
    EXPECT_NEAR(at.w, Induced(Square(), x, y, z + 1e-9).w, 1e-6);
    EXPECT_NEAR(at.w, Induced(Square(), x, y, z - 1e-9).w, 1e-6);
    EXPECT_NEAR(at.w, Quadrature(Square(), x, y, z).w, 1e-7);
}

// A hair's breadth off the plane, over the sides' lines, the corners and the interior of random
// panels: every component within a few ulps of the closed form in quadruple precision, where the
// side angle once flipped by Pi and the logarithm lost its digits.
TEST(SourcePanelVelocity, AHairsBreadthOffThePlaneAgreesWithQuadruplePrecision) {
    double largest = 0.0;
    const testing::NearPlaneCase* worst = nullptr;
    for (const testing::NearPlaneCase& c : testing::SharedNearPlaneCases()) {
        Velocity V;
        SourcePanelVelocity(c.n, c.xsi.data(), c.ita.data(), c.x, c.y, c.z, V.u, V.v, V.w);
        double error = std::max({std::fabs(V.u - c.u), std::fabs(V.v - c.v), std::fabs(V.w - c.w)});
        if (!std::isfinite(V.u + V.v + V.w)) error = HUGE_VAL;
        if (error > largest) largest = error, worst = &c;
    }
    std::printf("largest error of u, v, w: %.3g\n", largest);
    ASSERT_TRUE(worst == nullptr || largest < 1e-12)
        << "largest error " << largest << " at (" << worst->x << ", " << worst->y << ", " << worst->z << ")";
}

}  // namespace
}  // namespace panelflow
