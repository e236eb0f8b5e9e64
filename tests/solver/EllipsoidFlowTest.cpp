// SPDX-License-Identifier: GPL-3.0-or-later
// The exact ellipsoid flow: the quadrature of the shape coefficients against the closed forms of
// the sphere and the prolate spheroid and their sum rule, and the surface speed at known points.

#include <gtest/gtest.h>

#include <cmath>

#include "solver/EllipsoidFlow.h"

namespace panelflow {
namespace {

// Prolate spheroid a > b = c, eccentricity e: alpha0 = 2 (1 - e^2) / e^3 (atanh(e) - e).
double ProlateAlpha0(double a, double b) {
    const double e = std::sqrt(1.0 - b * b / (a * a));
    return 2.0 * (1.0 - e * e) / (e * e * e) * (std::atanh(e) - e);
}

class ShapeCoefficientsTest : public ::testing::TestWithParam<Ellipsoid> {};

TEST_P(ShapeCoefficientsTest, AddUpToTwoAndGrowAsTheAxisShrinks) {
    const Ellipsoid e = GetParam();
    const ShapeCoefficients s = EllipsoidShapeCoefficients(e);
    EXPECT_NEAR(s.alpha0 + s.beta0 + s.gamma0, 2.0, 1e-12);
    if (e.a > e.b) {
        EXPECT_LT(s.alpha0, s.beta0);
    }
    if (e.b > e.c) {
        EXPECT_LT(s.beta0, s.gamma0);
    }
    if (e.b == e.c) {
        EXPECT_NEAR(s.alpha0, e.a == e.b ? 2.0 / 3.0 : ProlateAlpha0(e.a, e.b), 1e-12);
    }
}

INSTANTIATE_TEST_SUITE_P(Bodies, ShapeCoefficientsTest,
                         ::testing::Values(Ellipsoid{0.5, 0.5, 0.5}, Ellipsoid{0.5, 0.125, 0.125},
                                           Ellipsoid{2.0, 1.0, 1.0}, Ellipsoid{0.5, 0.25, 0.125},
                                           Ellipsoid{10.0, 1.0, 0.5}));

TEST(ExactOneMinusCp, SphereGivesNineQuartersSinSquaredFromAnyPointOnTheRay) {
    const Ellipsoid sphere{0.5, 0.5, 0.5, 0.5, 0.0, 0.0};
    const ShapeCoefficients s = EllipsoidShapeCoefficients(sphere);
    for (double theta : {0.1, 0.7, 1.5707963267948966, 2.5}) {
        const double x = 0.5 - 0.3 * std::cos(theta), y = 0.3 * std::sin(theta) * 0.6, z = 0.3 * std::sin(theta) * 0.8;
        EXPECT_NEAR(ExactOneMinusCp(sphere, s, {1.0, 0.0, 0.0}, x, y, z), 2.25 * std::pow(std::sin(theta), 2), 1e-12);
        // A stream along y sees the same sphere turned: 9/4 (1 - c_y^2).
        const double c_y = y / 0.3;
        EXPECT_NEAR(ExactOneMinusCp(sphere, s, {0.0, 2.0, 0.0}, x, y, z), 2.25 * (1.0 - c_y * c_y), 1e-12);
    }
}

TEST(ExactOneMinusCp, EllipsoidIsStillAtTheNoseAndFastestAtTheRimAcrossTheStream) {
    const Ellipsoid e{0.5, 0.25, 0.125, 0.5, 0.0, 0.0};
    const ShapeCoefficients s = EllipsoidShapeCoefficients(e);
    EXPECT_NEAR(ExactOneMinusCp(e, s, {1.0, 0.0, 0.0}, 0.1, 0.0, 0.0), 0.0, 1e-24);
    const double rim = 2.0 / (2.0 - s.alpha0);
    EXPECT_NEAR(ExactOneMinusCp(e, s, {1.0, 0.0, 0.0}, 0.5, 0.1, 0.0), rim * rim, 1e-12);
    EXPECT_NEAR(ExactOneMinusCp(e, s, {1.0, 0.0, 0.0}, 0.5, 0.0, -0.1), rim * rim, 1e-12);
}

}  // namespace
}  // namespace panelflow
