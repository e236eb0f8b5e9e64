// SPDX-License-Identifier: GPL-3.0-or-later
// The panel method converges to the exact flows: halving the panel size (16 x 16 to 32 x 32)
// makes the error of 1 - Cp at least 1.7 times smaller for every validation body, within bounds
// of its own, and the net source strength of a closed body stays zero.

#include <gtest/gtest.h>

#include <cmath>

#include "commands/FlowValidation.h"

namespace panelflow {
namespace {

struct ConvergenceCase {
    ValidationBody body;
    double maxErrorBound;  // at 32 x 32
    double rmsErrorBound;
};

class FlowValidationTest : public ::testing::TestWithParam<ConvergenceCase> {};

TEST_P(FlowValidationTest, ErrorAtThirtyTwoIsAtLeastOnePointSevenTimesSmallerThanAtSixteen) {
    const ConvergenceCase c = GetParam();
    Session coarseSession, fineSession;
    const ValidationResult coarse = RunValidationCase(c.body, 16, 16, kUnitStreamAlongX, coarseSession);
    const ValidationResult fine = RunValidationCase(c.body, 32, 32, kUnitStreamAlongX, fineSession);
    ASSERT_TRUE(coarse.status.ok && fine.status.ok) << coarse.status.message << fine.status.message;
    EXPECT_GE(coarse.maxError / fine.maxError, 1.7);
    EXPECT_GE(coarse.rmsError / fine.rmsError, 1.7);
    EXPECT_LT(fine.maxError, c.maxErrorBound);
    EXPECT_LT(fine.rmsError, c.rmsErrorBound);
    EXPECT_LT(std::abs(fine.netSource), 1e-12);
    EXPECT_EQ(fineSession.model.NI, 32);
    EXPECT_TRUE(fineSession.shell.SolutionReady);
}

INSTANTIATE_TEST_SUITE_P(Bodies, FlowValidationTest,
                         ::testing::Values(ConvergenceCase{ValidationBody::Sphere, 0.010, 0.006},
                                           ConvergenceCase{ValidationBody::ProlateSpheroid, 0.025, 0.010},
                                           ConvergenceCase{ValidationBody::Ellipsoid, 0.025, 0.009}));

}  // namespace
}  // namespace panelflow
