// SPDX-License-Identifier: GPL-3.0-or-later
#include "geometry/BodyOfRevolution.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/PanelTestSupport.h"

namespace panelflow {
namespace {

using testing::SphereGrid;

constexpr double kFourDecimals = 5e-5;

TEST(SphereProfileTest, FourRowSphereMatchesTheProfileTable) {
    BodyProfile profile;
    SphereProfile(4, profile);
    ASSERT_EQ(profile.xI.upper(), 5);
    ASSERT_EQ(profile.rI.upper(), 5);
    const double xI[] = {0.0, 0.1464, 0.5, 0.8536, 1.0};
    const double rI[] = {0.0, 0.3536, 0.5, 0.3536, 0.0};
    for (int i = 1; i <= 5; ++i) {
        EXPECT_NEAR(profile.xI(i), xI[i - 1], kFourDecimals) << "i = " << i;
        EXPECT_NEAR(profile.rI(i), rI[i - 1], kFourDecimals) << "i = " << i;
    }
}

TEST(SphereProfileTest, OneRowSphereIsTheTwoPoles) {
    BodyProfile profile;
    SphereProfile(1, profile);
    ASSERT_EQ(profile.xI.upper(), 2);
    EXPECT_NEAR(profile.xI(1), 0.0, 1e-15);
    EXPECT_NEAR(profile.rI(1), 0.0, 1e-15);
    EXPECT_NEAR(profile.xI(2), 1.0, 1e-15);
    EXPECT_NEAR(profile.rI(2), 0.0, 1e-15);

    PanelModel model = SphereGrid(1, 3);
    for (int j = 1; j <= 4; ++j) {
        EXPECT_NEAR(std::hypot(model.xNode(1, j), model.yNode(1, j), model.zNode(1, j)), 0.0, 1e-15);
        EXPECT_NEAR(std::hypot(model.xNode(2, j) - 1.0, model.yNode(2, j), model.zNode(2, j)), 0.0, 1e-15);
    }
}

TEST(BodyOfRevolutionTest, FourByFourSphereHasTheQuarterTurnMeridians) {
    BodyProfile profile;
    PanelModel model = SphereGrid(4, 4, &profile);
    ASSERT_EQ(profile.ThetaJ.upper(), 5);
    for (int j = 1; j <= 5; ++j) EXPECT_NEAR(profile.ThetaJ(j), -Pi / 2 + (j - 1) * Pi / 2, 1e-15) << "j = " << j;

    EXPECT_NEAR(model.xNode(3, 2), 0.5, 1e-15);
    EXPECT_NEAR(model.yNode(3, 2), 0.5, 1e-15);
    EXPECT_NEAR(model.zNode(3, 2), 0.0, 1e-15);
    // Column 1 is on the -z side and column 5 closes the surface onto it.
    EXPECT_NEAR(model.zNode(3, 1), -0.5, 1e-15);
    for (int i = 1; i <= 5; ++i) {
        EXPECT_NEAR(model.xNode(i, 5), model.xNode(i, 1), 1e-15);
        EXPECT_NEAR(model.yNode(i, 5), model.yNode(i, 1), 1e-15);
        EXPECT_NEAR(model.zNode(i, 5), model.zNode(i, 1), 1e-15);
    }
}

class SphereNodesTest : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(SphereNodesTest, EveryNodeLiesOnTheSphereAtItsProfilePoint) {
    const auto [NI, NJ] = GetParam();
    BodyProfile profile;
    PanelModel model = SphereGrid(NI, NJ, &profile);
    ASSERT_EQ(model.xNode.upper1(), NI + 1);
    ASSERT_EQ(model.xNode.upper2(), NJ + 1);
    for (int i = 1; i <= NI + 1; ++i) {
        for (int j = 1; j <= NJ + 1; ++j) {
            const double x = model.xNode(i, j), y = model.yNode(i, j), z = model.zNode(i, j);
            EXPECT_NEAR(std::hypot(x - 0.5, y, z), 0.5, 1e-14) << "node " << i << ", " << j;
            EXPECT_EQ(x, profile.xI(i));
            EXPECT_NEAR(std::hypot(y, z), profile.rI(i), 1e-15);
            // The meridian angle from +y towards +z.
            if (profile.rI(i) > 1e-3) {
                const double expected = -Pi / 2 + (j - 1) * TwoPi / NJ;
                EXPECT_NEAR(std::remainder(std::atan2(z, y) - expected, TwoPi), 0.0, 1e-12);
            }
        }
    }
    // Rows advance towards larger x along the half circle.
    for (int i = 1; i <= NI; ++i) EXPECT_LT(profile.xI(i), profile.xI(i + 1));
}

INSTANTIATE_TEST_SUITE_P(Spheres, SphereNodesTest,
                         ::testing::Values(std::pair{1, 3}, std::pair{2, 2}, std::pair{4, 4}, std::pair{7, 5},
                                           std::pair{16, 24}));

TEST(BodyOfRevolutionTest, RebuildWithSmallerCountsReallocatesEverything) {
    BodyProfile profile;
    PanelModel model = SphereGrid(8, 8, &profile);
    testing::SetCounts(model, 3, 2);
    SphereProfile(3, profile);
    BuildBodyOfRevolution(profile, model);
    EXPECT_EQ(profile.xI.upper(), 4);
    EXPECT_EQ(profile.rI.upper(), 4);
    EXPECT_EQ(profile.ThetaJ.upper(), 3);
    EXPECT_EQ(model.xNode.upper1(), 4);
    EXPECT_EQ(model.zNode.upper2(), 3);
    EXPECT_NEAR(model.zNode(2, 2), std::sin(Pi / 3) * 0.5, 1e-15);  // column 2 is +z for NJ = 2
}

}  // namespace
}  // namespace panelflow
