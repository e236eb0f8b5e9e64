// SPDX-License-Identifier: GPL-3.0-or-later
// The example bodies in examples/, read through the file commands and solved, against the
// exact potential flow about ellipsoids: on an ellipsoid in a stream along its x axis the
// surface speed is 2 / (2 - alpha0) times the stream's tangential component, so on the middle
// section, where the stream is tangential, 1 - Cp = (2 / (2 - alpha0))^2 all around.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "commands/Commands.h"
#include "support/TempDir.h"

namespace panelflow {
namespace {

using testing::RecordingInterface;
using testing::TempDir;

const std::string kExamples = PANELFLOW_SOURCE_DIR "/examples/";

// alpha0 = a b c * integral over lambda from 0 to infinity of
//          1 / ((a^2 + lambda) sqrt((a^2 + lambda)(b^2 + lambda)(c^2 + lambda))),
// by the midpoint rule after lambda = u / (1 - u), which maps the range onto 0 < u < 1.
double Alpha0(double a, double b, double c) {
    const int steps = 200000;
    double sum = 0.0;
    for (int k = 0; k < steps; ++k) {
        const double u = (k + 0.5) / steps;
        const double lambda = u / (1.0 - u);
        const double dLambda = 1.0 / ((1.0 - u) * (1.0 - u));
        const double A = a * a + lambda, B = b * b + lambda, C = c * c + lambda;
        sum += dLambda / (A * std::sqrt(A * B * C));
    }
    return a * b * c * sum / steps;
}

double MiddleSectionOneMinusCp(double a, double b, double c) {
    const double speed = 2.0 / (2.0 - Alpha0(a, b, c));
    return speed * speed;
}

class ExampleFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        session.shell.OutFile = dir.File("Axisym.txt");
        ASSERT_TRUE(StartCommand(session, ui));
    }
    void Solve() {
        ASSERT_TRUE(HessCommand(session, ui));
        ASSERT_TRUE(ui.messages.empty()) << ui.messages[0];
    }
    double MaxOneMinusCp() const {
        double largest = -1e300;
        for (int i = 1; i <= session.model.NI; ++i)
            for (int j = 1; j <= session.model.NJ; ++j) largest = std::max(largest, session.solution.OneMinusCp(i, j));
        return largest;
    }
    // Every panel's normal points away from the body's centre at (centreX, 0, 0): the file's
    // rows and columns run the right way round.
    void ExpectOutwardNormals(double centreX) const {
        const PanelModel& m = session.model;
        for (int i = 1; i <= m.NI; ++i)
            for (int j = 1; j <= m.NJ; ++j) {
                const double outward = m.ZtaX(i, j) * (m.xC(i, j) - centreX) + m.ZtaY(i, j) * m.yC(i, j) + m.ZtaZ(i, j) * m.zC(i, j);
                EXPECT_GT(outward, 0.0) << "panel (" << i << ", " << j << ")";
            }
    }

    TempDir dir;
    Session session;
    RecordingInterface ui;
};

TEST_F(ExampleFilesTest, TheAlpha0QuadratureGivesTheClosedFormOfAProlateSpheroid) {
    // For b = c the integral has the closed form 2 (1 - e^2) / e^3 (atanh(e) - e).
    const double e = std::sqrt(1.0 - 0.25 * 0.25);
    EXPECT_NEAR(Alpha0(0.5, 0.125, 0.125), 2.0 * (1.0 - e * e) / (e * e * e) * (std::atanh(e) - e), 1e-9);
    EXPECT_NEAR(MiddleSectionOneMinusCp(0.5, 0.125, 0.125), 1.16977, 1e-5);
}

TEST_F(ExampleFilesTest, TheProlateSpheroidReachesTheExactPeakOfOneMinusCp) {
    std::string niText = "32";
    ASSERT_TRUE(ProfileFileCommand(session, kExamples + "prolate-4to1.BodyFoil", niText, "32", ui));
    EXPECT_EQ(session.model.NI, 32);
    ExpectOutwardNormals(0.5);
    Solve();
    EXPECT_NEAR(MaxOneMinusCp(), 1.16977, 0.01);
}

TEST_F(ExampleFilesTest, TheFineSphereReachesTheExactPeakOfOneMinusCp) {
    // On a sphere the surface speed is 1.5 sin(theta): 1 - Cp = 2.25 at the middle section.
    std::string niText = "4";
    ASSERT_TRUE(ProfileFileCommand(session, kExamples + "sphere-32.BodyFoil", niText, "16", ui));
    EXPECT_EQ(niText, "32");
    ExpectOutwardNormals(0.5);
    Solve();
    EXPECT_NEAR(MaxOneMinusCp(), 2.25, 0.03);
}

TEST_F(ExampleFilesTest, TheThreeAxisEllipsoidHasTheExactConstantOneMinusCpAroundItsMiddleSection) {
    ASSERT_TRUE(CornerFileCommand(session, kExamples + "ellipsoid-3axes.Coords", ui));
    ASSERT_EQ(session.model.NI % 2, 1) << "one ring of panels should straddle the middle section";
    ExpectOutwardNormals(0.5);
    Solve();

    const int middle = (session.model.NI + 1) / 2;
    double lowest = 1e300, highest = -1e300, sum = 0.0;
    for (int j = 1; j <= session.model.NJ; ++j) {
        EXPECT_NEAR(session.model.xC(middle, j), 0.5, 1e-12);
        const double value = session.solution.OneMinusCp(middle, j);
        lowest = std::min(lowest, value);
        highest = std::max(highest, value);
        sum += value;
    }
    const double mean = sum / session.model.NJ;
    EXPECT_LE((highest - lowest) / mean, 0.02) << "from " << lowest << " to " << highest;
    EXPECT_NEAR(mean, MiddleSectionOneMinusCp(0.5, 0.25, 0.125), 0.02 * mean);
}

}  // namespace
}  // namespace panelflow
