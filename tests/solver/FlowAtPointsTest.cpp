// SPDX-License-Identifier: GPL-3.0-or-later
// The flow off the body against the exact flow about the sphere, and the inside flag.

#include "solver/FlowAtPoints.h"

#include <gtest/gtest.h>

#include <cmath>

#include "commands/FlowValidation.h"

namespace panelflow {
namespace {

// First order like the surface velocity: 0.0040, 0.0021 and 0.0011 at 64, 128 and 256 panels a side.
TEST(FlowAtPoints, SpheresVelocityOneAndAHalfRadiiOutIsTheExactFlowWithinAThousandth) {
    Session session;
    ASSERT_TRUE(RunLoadsCase(1.0, 512, 512, kUnitStreamAlongX, session).status.ok);
    EXPECT_LT(OffBodyVelocityError(session, 1.5), 1e-3);
}

// The sphere of diameter 1 about (0.5, 0, 0) in a stream along x and y: points inside (the
// centre, just within the panels, near the nose) are flagged and still; points outside (just
// beyond the surface, far away, on the axis ahead) are not, and far away the flow is the stream's.
TEST(FlowAtPoints, PointsInsideAreFlaggedAndStillAndFarAwayTheStreamIsUndisturbed) {
    Session session;
    ASSERT_TRUE(RunLoadsCase(1.0, 32, 32, {0.6, 0.8, 0.0}, session).status.ok);
    const std::vector<Vector3> inside = {{0.5, 0.0, 0.0}, {0.5, 0.0, 0.48}, {0.03, 0.01, 0.0}, {0.7, -0.2, 0.3}};
    const std::vector<Vector3> outside = {{0.5, 0.0, 0.52}, {-0.02, 0.0, 0.0}, {0.5, 0.38, 0.38}, {1e4, 0.0, 0.0}};
    std::vector<Vector3> points = inside;
    points.insert(points.end(), outside.begin(), outside.end());
    const FieldValues values = FlowAtPoints(session.model, session.solution.Sigma, session.vinf, points);
    ASSERT_EQ(values.inside.size(), points.size());
    for (std::size_t p = 0; p < points.size(); ++p) {
        SCOPED_TRACE(::testing::Message() << "point " << points[p][0] << ", " << points[p][1] << ", " << points[p][2]);
        const bool in = p < inside.size();
        EXPECT_EQ(values.inside[p], in ? 1 : 0);
        EXPECT_DOUBLE_EQ(values.cp[p], 1.0 - values.oneMinusCp[p]);
        if (in) {
            EXPECT_EQ(values.velocity[p], (Vector3{0.0, 0.0, 0.0}));
            EXPECT_EQ(values.cp[p], 1.0);
        }
    }
    const Vector3& far = values.velocity.back();
    EXPECT_NEAR(far[0], 0.6, 1e-9);
    EXPECT_NEAR(far[1], 0.8, 1e-9);
    EXPECT_NEAR(far[2], 0.0, 1e-9);
}

}  // namespace
}  // namespace panelflow
