// SPDX-License-Identifier: GPL-3.0-or-later
#include "solver/SourcePanelPotential.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "solver/SourcePanelVelocity.h"
#include "support/NearPlanePoints.h"

namespace panelflow {
namespace {

// Corners 1..n (entry 0 unused), clockwise seen from +zeta.
struct Polygon {
    int n;
    std::array<double, 5> xsi, ita;
};

const Polygon kSquare{4, {0, -1, -1, 1, 1}, {0, -1, 1, 1, -1}};  // (-1..1)^2, area 4
const Polygon kTriangle{3, {0, -0.7, 0.1, 0.8, 0}, {0, -0.4, 0.9, -0.5, 0}};
const Polygon kQuadrilateral{4, {0, -0.6, -0.4, 0.7, 0.9}, {0, -0.3, 0.5, 0.8, -0.6}};

double Potential(const Polygon& p, double x, double y, double z) {
    return SourcePanelPotential(p.n, p.xsi.data(), p.ita.data(), x, y, z);
}

// The integral of 1 / r over the rectangle [0, a] x [0, b] seen from its corner in its plane.
double FromCorner(double a, double b) {
    const double diagonal = std::hypot(a, b);
    return a * std::log((b + diagonal) / a) + b * std::log((a + diagonal) / b);
}

// In the plane the square is a sum of rectangles seen from their common corner: the centre, a
// corner and the middle of a side, where the side terms meet h = 0 and infinite logarithms.
TEST(SourcePanelPotential, SquareInItsPlaneMatchesTheRectanglesSeenFromTheirCorners) {
    const double fourPi = 16.0 * std::atan(1.0);
    EXPECT_NEAR(Potential(kSquare, 0.0, 0.0, 0.0), -4.0 * FromCorner(1, 1) / fourPi, 1e-15);
    EXPECT_NEAR(Potential(kSquare, -1.0, -1.0, 0.0), -FromCorner(2, 2) / fourPi, 1e-15);
    EXPECT_NEAR(Potential(kSquare, 1.0, 0.0, 0.0), -2.0 * FromCorner(2, 1) / fourPi, 1e-15);
    EXPECT_NEAR(Potential(kSquare, 0.3, -0.4, 0.0),
                -(FromCorner(1.3, 0.6) + FromCorner(0.7, 0.6) + FromCorner(1.3, 1.4) + FromCorner(0.7, 1.4)) / fourPi,
                1e-15);
    // Just off the plane the potential is continuous.
    EXPECT_NEAR(Potential(kSquare, 1.0, 0.0, 1e-12), Potential(kSquare, 1.0, 0.0, 0.0), 1e-11);
    EXPECT_NEAR(Potential(kSquare, 0.3, -0.4, -1e-12), Potential(kSquare, 0.3, -0.4, 0.0), 1e-11);
}

// The velocity is the potential's gradient: central differences of the potential against
// SourcePanelVelocity, above, below, beside and far from each panel. This ties the signs of the
// two routines together.
TEST(SourcePanelPotential, GradientIsTheVelocityAndPotentialIsEvenInZ) {
    const std::array<std::array<double, 3>, 6> points = {
        {{0.3, 0.2, 0.5}, {0.1, -0.2, -0.8}, {2.5, -1.0, 0.4}, {-1.2, 2.4, -0.8}, {1.8, 0.5, 0.05}, {-3.0, -2.0, 4.0}}};
    constexpr double step = 1e-5;
    for (const Polygon* p : {&kSquare, &kTriangle, &kQuadrilateral}) {
        for (const auto& P : points) {
            SCOPED_TRACE(::testing::Message() << "corners " << p->n << " at " << P[0] << ", " << P[1] << ", " << P[2]);
            double u, v, w;
            SourcePanelVelocity(p->n, p->xsi.data(), p->ita.data(), P[0], P[1], P[2], u, v, w);
            const double gradient[3] = {
                (Potential(*p, P[0] + step, P[1], P[2]) - Potential(*p, P[0] - step, P[1], P[2])) / (2 * step),
                (Potential(*p, P[0], P[1] + step, P[2]) - Potential(*p, P[0], P[1] - step, P[2])) / (2 * step),
                (Potential(*p, P[0], P[1], P[2] + step) - Potential(*p, P[0], P[1], P[2] - step)) / (2 * step)};
            EXPECT_NEAR(gradient[0], u, 1e-8);
            EXPECT_NEAR(gradient[1], v, 1e-8);
            EXPECT_NEAR(gradient[2], w, 1e-8);
            EXPECT_EQ(Potential(*p, P[0], P[1], P[2]), Potential(*p, P[0], P[1], -P[2]));
        }
    }
}

TEST(SourcePanelPotential, FarAwayThePanelActsAsAPointSourceOfItsArea) {
    const double fourPi = 16.0 * std::atan(1.0);
    for (const double R : {1e2, 1e4, 1e6}) {
        EXPECT_NEAR(Potential(kSquare, 0.6 * R, 0.0, 0.8 * R) * R, -4.0 / fourPi, 1e-3 * 4.0 / fourPi) << R;
        EXPECT_NEAR(Potential(kSquare, 0.0, -R, 0.0) * R, -4.0 / fourPi, 1e-3 * 4.0 / fourPi) << R;
    }
}

// A hair's breadth off the plane, over the sides' lines, the corners and the interior of random
// panels of sizes 1e-3 to 1e3: within a few ulps of the panel's size of the closed form in
// quadruple precision.
TEST(SourcePanelPotential, AHairsBreadthOffThePlaneAgreesWithQuadruplePrecision) {
    double largest = 0.0;
    const testing::NearPlaneCase* worst = nullptr;
    for (const testing::NearPlaneCase& c : testing::SharedNearPlaneCases()) {
        double size = 0.0;
        for (int k = 1; k <= c.n; ++k) size = std::max({size, std::fabs(c.xsi[k]), std::fabs(c.ita[k])});
        const double phi = SourcePanelPotential(c.n, c.xsi.data(), c.ita.data(), c.x, c.y, c.z);
        const double error = std::isfinite(phi) ? std::fabs(phi - c.phi) / size : HUGE_VAL;
        if (error > largest) largest = error, worst = &c;
    }
    std::printf("largest error of phi over the panel's size: %.3g\n", largest);
    ASSERT_TRUE(worst == nullptr || largest < 1e-14)
        << "largest error " << largest << " at (" << worst->x << ", " << worst->y << ", " << worst->z << ")";
}

}  // namespace
}  // namespace panelflow
