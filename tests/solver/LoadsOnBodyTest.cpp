// SPDX-License-Identifier: GPL-3.0-or-later
// The loads and added masses against Lamb's exact values for the sphere and the prolate
// spheroid (the method converges at first order, so the bounds hold from the meshes named), the
// displaced fluid against its closed form, and the scaling of a body far from unit size.

#include "solver/LoadsOnBody.h"

#include <gtest/gtest.h>

#include <cmath>

#include "commands/FlowValidation.h"
#include "model/BodyScale.h"

namespace panelflow {
namespace {

struct SpheroidCase {
    double ratio;
    int NI, NJ;
    double bound;  // on the relative error of k1, k2 (and of k', for a spheroid)
};

void PrintTo(const SpheroidCase& c, std::ostream* os) { *os << c.ratio << ":1 at " << c.NI << " x " << c.NJ; }

class AddedMasses : public ::testing::TestWithParam<SpheroidCase> {};

TEST_P(AddedMasses, MatchLambsCoefficientsAndTheDisplacedFluidItsClosedForm) {
    const SpheroidCase& c = GetParam();
    Session session;
    const LoadsValidation result = RunLoadsCase(c.ratio, c.NI, c.NJ, kUnitStreamAlongX, session);
    ASSERT_TRUE(result.status.ok) << result.status.message;
    const BodyLoads& loads = result.loads;
    ASSERT_TRUE(loads.bodyOfRevolution);
    EXPECT_NEAR(loads.k1 / result.exact.k1, 1.0, c.bound) << loads.k1;
    EXPECT_NEAR(loads.k2 / result.exact.k2, 1.0, c.bound) << loads.k2;
    if (c.ratio == 1.0) {
        EXPECT_NEAR(loads.kPrime, 0.0, 1e-4);  // a sphere turning about its centre stirs nothing
    } else {
        EXPECT_NEAR(loads.kPrime / result.exact.kPrime, 1.0, c.bound) << loads.kPrime;
    }
    // The 6 x 6 matrix: the translations along y and z alike, the turn about the axis stirs
    // nothing, and no translation couples to a turn about the centre.
    const Matrix6& m = loads.addedMass;
    EXPECT_NEAR(m[1][1], m[2][2], 1e-12);
    EXPECT_NEAR(m[3][3], 0.0, 1e-12);
    for (int k = 0; k < 3; ++k)
        for (int l = 3; l < 6; ++l) EXPECT_NEAR(m[k][l] / m[1][1], 0.0, 1e-9) << k << ", " << l;

    const double a = 0.5, b = 0.5 / c.ratio, V = 4.0 / 3.0 * Pi * a * b * b;
    EXPECT_NEAR(loads.displacedVolume / V, 1.0, 2e-3);
    EXPECT_NEAR(loads.inertia[0] / (V * 2.0 * b * b / 5.0), 1.0, 4e-3);
    EXPECT_NEAR(loads.inertia[1] / (V * (a * a + b * b) / 5.0), 1.0, 4e-3);
    // d'Alembert: a closed body symmetric fore and aft feels no force in the axial stream.
    EXPECT_LT(loads.dalembertResidual, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Spheroids, AddedMasses,
                         ::testing::Values(SpheroidCase{1.0, 256, 256, 0.01}, SpheroidCase{4.0, 256, 128, 0.02},
                                           SpheroidCase{8.0, 256, 128, 0.02}));

// A 4:1 spheroid yawed 10 degrees feels the Munk moment -2 e x (A e) about z; the integrated
// pressure gives it, and so do the added masses.
TEST(Loads, YawedSpheroidsPressureMomentAndAddedMassesGiveTheMunkMoment) {
    const double yaw = 10.0 * Pi / 180.0;
    Session session;
    const LoadsValidation coarse = RunLoadsCase(4.0, 64, 64, {std::cos(yaw), std::sin(yaw), 0.0}, session);
    ASSERT_TRUE(coarse.status.ok) << coarse.status.message;
    const double exact = coarse.exactMunkMoment[2];
    EXPECT_NEAR(exact, -8.710e-3, 1e-6);
    EXPECT_NEAR(coarse.loads.moment[2] / exact, 1.0, 0.02) << coarse.loads.moment[2];
    EXPECT_NEAR(coarse.loads.moment[0], 0.0, 1e-12);
    EXPECT_NEAR(coarse.loads.moment[1], 0.0, 1e-12);

    const LoadsValidation fine = RunLoadsCase(4.0, 256, 128, {std::cos(yaw), std::sin(yaw), 0.0}, session);
    ASSERT_TRUE(fine.status.ok) << fine.status.message;
    EXPECT_NEAR(fine.loads.munkMoment[2] / exact, 1.0, 0.02) << fine.loads.munkMoment[2];
    EXPECT_NEAR(fine.loads.moment[2] / exact, 1.0, 0.02) << fine.loads.moment[2];
}

// Every result carries its power of the length: a body 2^80 times as large has the same k's,
// its force 2^160 times, its moment and volume 2^240 times, its turning added masses 2^400 times.
TEST(Loads, BodyFarFromUnitSizeScalesEveryResultByItsPowerOfTheLength) {
    Session session;
    const LoadsValidation unit = RunLoadsCase(4.0, 16, 8, {0.8, 0.6, 0.0}, session);
    ASSERT_TRUE(unit.status.ok) << unit.status.message;
    const PanelModel huge = ScaledModel(session.model, 80);
    const LoadsResult large = LoadsOnBody(huge, session.solution, session.vinf, Vector3{std::ldexp(0.5, 80), 0.0, 0.0});
    ASSERT_TRUE(large.status.ok) << large.status.message;
    EXPECT_DOUBLE_EQ(large.loads.k2, unit.loads.k2);
    EXPECT_DOUBLE_EQ(large.loads.kPrime, unit.loads.kPrime);
    EXPECT_DOUBLE_EQ(large.loads.force[0], std::ldexp(unit.loads.force[0], 160));
    EXPECT_DOUBLE_EQ(large.loads.moment[2], std::ldexp(unit.loads.moment[2], 240));
    EXPECT_DOUBLE_EQ(large.loads.displacedVolume, std::ldexp(unit.loads.displacedVolume, 240));
    EXPECT_DOUBLE_EQ(large.loads.addedMass[1][5], std::ldexp(unit.loads.addedMass[1][5], 320));
    EXPECT_DOUBLE_EQ(large.loads.addedMass[4][4], std::ldexp(unit.loads.addedMass[4][4], 400));
    EXPECT_DOUBLE_EQ(large.loads.munkMoment[2], std::ldexp(unit.loads.munkMoment[2], 240));
}

// Normals that point into the body make its volume negative: no loads are given for it.
TEST(Loads, BodyWhoseNormalsPointInIsRefused) {
    Session session;
    ASSERT_TRUE(RunLoadsCase(1.0, 8, 8, kUnitStreamAlongX, session).status.ok);
    for (Array2D<double>* n : {&session.model.ZtaX, &session.model.ZtaY, &session.model.ZtaZ})
        for (int i = 1; i <= 8; ++i)
            for (int j = 1; j <= 8; ++j) (*n)(i, j) = -(*n)(i, j);
    const LoadsResult result = LoadsOnBody(session.model, session.solution, session.vinf);
    EXPECT_FALSE(result.status.ok);
    EXPECT_NE(result.status.message.find("normals point into the body"), std::string::npos) << result.status.message;
}

}  // namespace
}  // namespace panelflow
