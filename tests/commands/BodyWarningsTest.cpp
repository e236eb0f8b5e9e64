// SPDX-License-Identifier: GPL-3.0-or-later
// Bodies that the geometry commands build although their flow cannot be right, and bodies far
// from unit size: a suspect body completes the command with one warning that says what is wrong;
// a body of any size within range gives the flow of the same body at unit size.

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <string>

#include "commands/Commands.h"
#include "input/CornerPointFile.h"
#include "input/FieldReader.h"
#include "support/TempDir.h"

namespace panelflow {
namespace {

using testing::ReadFile;
using testing::RecordingInterface;
using testing::TempDir;
using testing::WriteFile;

struct BodyFile {
    const char* name;
    const char* text;
    const char* warning;  // a part of the expected warning; "" for none
};

// NI = 2, NJ = 3 double cones: rows towards +x, columns turning positively about +x, unless
// the name says otherwise.
constexpr const char* kCone = "2,3\n1,1,0,0,0\n1,2,0,0,0\n1,3,0,0,0\n1,4,0,0,0\n"
                              "2,1,1,0,-1\n2,2,1,0.866,0.5\n2,3,1,-0.866,0.5\n2,4,1,0,-1\n"
                              "3,1,2,0,0\n3,2,2,0,0\n3,3,2,0,0\n3,4,2,0,0\n";
constexpr const char* kConeTurnedBack = "2,3\n1,1,0,0,0\n1,2,0,0,0\n1,3,0,0,0\n1,4,0,0,0\n"
                                        "2,1,1,0,-1\n2,2,1,-0.866,0.5\n2,3,1,0.866,0.5\n2,4,1,0,-1\n"
                                        "3,1,2,0,0\n3,2,2,0,0\n3,3,2,0,0\n3,4,2,0,0\n";
constexpr const char* kConeCutOpen = "2,3\n1,1,0,0,-0.5\n1,2,0,0.433,0.25\n1,3,0,-0.433,0.25\n1,4,0,0,-0.5\n"
                                     "2,1,1,0,-1\n2,2,1,0.866,0.5\n2,3,1,-0.866,0.5\n2,4,1,0,-1\n"
                                     "3,1,2,0,0\n3,2,2,0,0\n3,3,2,0,0\n3,4,2,0,0\n";

class SuspectBodies : public ::testing::TestWithParam<BodyFile> {};

TEST_P(SuspectBodies, CompleteTheCommandWithAWarningThatSaysWhatIsWrong) {
    TempDir dir;
    Session session;
    session.shell.OutFile = dir.File("Axisym.txt");
    RecordingInterface ui;
    ASSERT_TRUE(StartCommand(session, ui));
    const std::string path = dir.File(GetParam().name);
    WriteFile(path, GetParam().text);
    std::string niText = "4";
    const bool corners = path.ends_with(".Coords");
    EXPECT_TRUE(corners ? CornerFileCommand(session, path, ui) : ProfileFileCommand(session, path, niText, "6", ui));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(session.shell.GeometryReady);
    EXPECT_NE(ReadFile(session.shell.OutFile), "");
    if (GetParam().warning[0] == '\0') {
        EXPECT_TRUE(ui.warnings.empty()) << ui.warnings[0];
        return;
    }
    ASSERT_EQ(ui.warnings.size(), 1u);
    EXPECT_NE(ui.warnings[0].find(GetParam().warning), std::string::npos) << ui.warnings[0];
    EXPECT_NE(ui.warnings[0].find(corners ? "under \"Coordinates of panel corner points\""
                                          : "under \"Profile of the body of revolution\""),
              std::string::npos)
        << ui.warnings[0];
}

INSTANTIATE_TEST_SUITE_P(
    Files, SuspectBodies,
    ::testing::Values(
        BodyFile{"lens.BodyFoil", "Lens,5,points\n1,0,0\n2,0.25,0.3\n3,0.5,0.4\n4,0.75,0.3\n5,1,0\n", ""},
        BodyFile{"reversed.BodyFoil", "Lens,5,points\n5,1,0\n4,0.75,0.3\n3,0.5,0.4\n2,0.25,0.3\n1,0,0\n",
                 "The panels' normals point into the body (its enclosed volume comes out as -0."},
        BodyFile{"open.BodyFoil", "Lens,5,points\n1,0,0\n2,0.25,0.3\n3,0.5,0.4\n4,0.75,0.3\n5,1,0.1\n",
                 "The profile's last point (x = 1, r = 0.1) is not on the axis (r = 0): the body is open at its tail."},
        BodyFile{"cone.Coords", kCone, ""},
        BodyFile{"turned.Coords", kConeTurnedBack, "the corner points seem to run the wrong way round"},
        BodyFile{"cut.Coords", kConeCutOpen,
                 "The first row of corner points (i = 1) is not one point (its nodes lie up to 0.86"}));

std::string Shortest(double value) {
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

// The example octahedron with every coordinate multiplied by `scale`.
std::string ScaledOctahedron(double scale) {
    PanelModel model;
    EXPECT_TRUE(ReadCornerPoints(std::string(PANELFLOW_SOURCE_DIR) + "/examples/octahedron.Coords", model));
    std::string text = CountText(model.NI) + "," + CountText(model.NJ) + "\n";
    for (int i = 1; i <= model.NI1; ++i)
        for (int j = 1; j <= model.NJ1; ++j)
            text += CountText(i) + "," + CountText(j) + "," + Shortest(model.xNode(i, j) * scale) + "," +
                    Shortest(model.yNode(i, j) * scale) + "," + Shortest(model.zNode(i, j) * scale) + "\n";
    return text;
}

class ScaledBody : public ::testing::TestWithParam<double> {
protected:
    // The octahedron scaled by `scale` through the corner-file and Hess commands.
    bool Solve(double scale, Session& session, RecordingInterface& ui) {
        session.shell.OutFile = dir.File("Axisym.txt");
        WriteFile(dir.File("octahedron.Coords"), ScaledOctahedron(scale));
        return StartCommand(session, ui) && CornerFileCommand(session, dir.File("octahedron.Coords"), ui) &&
               HessCommand(session, ui);
    }
    TempDir dir;
};

TEST_P(ScaledBody, GivesTheFlowOfTheBodyAtUnitSize) {
    Session unit, scaled;
    RecordingInterface ui;
    ASSERT_TRUE(Solve(1.0, unit, ui));
    ASSERT_TRUE(Solve(GetParam(), scaled, ui)) << ::testing::PrintToString(ui.messages);
    int exponent = 0;
    const bool powerOfTwo = std::frexp(GetParam(), &exponent) == 0.5;
    for (int i = 1; i <= unit.model.NI; ++i) {
        for (int j = 1; j <= unit.model.NJ; ++j) {
            EXPECT_NEAR(unit.solution.OneMinusCp(i, j), 1.5, 1e-9);
            // Scaling by a power of two is exact, and so is then the flow.
            if (powerOfTwo) {
                EXPECT_EQ(scaled.solution.OneMinusCp(i, j), unit.solution.OneMinusCp(i, j));
            }
            EXPECT_NEAR(scaled.solution.OneMinusCp(i, j), unit.solution.OneMinusCp(i, j), 1e-12);
            EXPECT_NEAR(scaled.solution.Sigma(i, j), unit.solution.Sigma(i, j), 1e-12);
        }
    }
    EXPECT_TRUE(ui.warnings.empty());
}

INSTANTIATE_TEST_SUITE_P(Scales, ScaledBody,
                         ::testing::Values(1e-149, 1e-82, 1e-80, 0x1p-100, 1e-20, 1e20, 0x1p100, 1e80, 1e149));

TEST_F(ScaledBody, OutsideTheRangeIsRefusedSayingWhetherTooSmallOrTooLarge) {
    for (const auto& [scale, said] : {std::pair{1e-160, "The body is too small: it spans 2e-160"},
                                      std::pair{1e160, "The body is too large: its coordinates reach 1e+160"}}) {
        Session session;
        RecordingInterface ui;
        EXPECT_FALSE(Solve(scale, session, ui));
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_NE(ui.messages[0].find(said), std::string::npos) << ui.messages[0];
        EXPECT_EQ(ReadFile(session.shell.OutFile), "");
        EXPECT_FALSE(session.shell.GeometryReady);
    }
}

}  // namespace
}  // namespace panelflow
