// SPDX-License-Identifier: GPL-3.0-or-later
// The whole results file of the default run (the NI = NJ = 4 sphere, then the Hess method),
// written by the batch program and checked two ways: against the golden file line by line, and
// against the reference values known for this case.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/BatchRunner.h"
#include "support/TempDir.h"

namespace panelflow {
namespace {

using testing::Lines;
using testing::ReadFile;

const std::string kGoldenPath = std::string(PANELFLOW_SOURCE_DIR) + "/tests/golden/sphere-4x4.Axisym.txt";

// The results file of `panelflow-batch sphere hess`, run once for all the tests here.
const std::string& ProgramOutput() {
    static const std::string text = [] {
        testing::TempDir dir;
        const auto run = testing::RunBatch(dir, "sphere hess");
        EXPECT_EQ(run.status, 0) << run.errors;
        return ReadFile(dir.File("Axisym.txt"));
    }();
    return text;
}

std::vector<std::string> ProgramLines() { return Lines(ProgramOutput()); }

// The index of the line equal to `title` (the n-th such line, counting from 0).
std::size_t LineOf(const std::vector<std::string>& lines, const std::string& title, int n = 0) {
    for (std::size_t k = 0; k < lines.size(); ++k)
        if (lines[k] == title && n-- == 0) return k;
    ADD_FAILURE() << "no line \"" << title << "\"";
    return lines.size();
}

void ExpectLinesAt(const std::vector<std::string>& lines, std::size_t first, const std::vector<std::string>& expected) {
    for (std::size_t k = 0; k < expected.size(); ++k) {
        ASSERT_LT(first + k, lines.size());
        EXPECT_EQ(lines[first + k], expected[k]) << "line " << first + k + 1;
    }
}

TEST(GoldenSphere, TheBatchRunWritesTheGoldenFileLineByLine) {
    const std::string& produced = ProgramOutput();
    const std::string golden = ReadFile(kGoldenPath);
    const auto producedLines = Lines(produced);
    const auto goldenLines = Lines(golden);
    const auto size = std::min(producedLines.size(), goldenLines.size());
    for (std::size_t k = 0; k < size; ++k)
        ASSERT_EQ(producedLines[k], goldenLines[k]) << "first difference at line " << k + 1;
    EXPECT_EQ(producedLines.size(), goldenLines.size());
    EXPECT_EQ(produced, golden) << "line ends differ";
}

TEST(GoldenSphere, EveryLineEndsWithCarriageReturnAndLineFeed) {
    const std::string& golden = ProgramOutput();
    ASSERT_FALSE(golden.empty());
    EXPECT_EQ(golden.substr(golden.size() - 2), "\r\n");
    for (std::size_t p = golden.find('\n'); p != std::string::npos; p = golden.find('\n', p + 1))
        ASSERT_TRUE(p > 0 && golden[p - 1] == '\r') << "bare line feed at byte " << p;
}

TEST(GoldenSphere, ProfileAndBodyCoordinatesHoldTheSphereValues) {
    const auto lines = ProgramLines();
    const auto profile = LineOf(lines, " Profile of the body of revolution");
    ExpectLinesAt(lines, profile, {" Profile of the body of revolution", "  i     xI     rI", "",
                                   " 1    0.0000  0.0000  ", " 2    0.1464  0.3536  ", " 3    0.5000  0.5000  ",
                                   " 4    0.8536  0.3536  ", " 5    1.0000  0.0000  ", "",
                                   " Coordinates of the body of revolution", ""});
    const auto body = LineOf(lines, " Coordinates of the body of revolution");
    // Node (3, 2) is the 12th node line: (0.5, 0.5, 0).
    EXPECT_EQ(lines[body + 2 + 11], " 3    2   0.5000  0.5000  0.0000  ");
}

TEST(GoldenSphere, PanelGeometryHoldsTheReferencePanels) {
    const auto lines = ProgramLines();
    const auto corners = LineOf(lines, " Coordinates of panel corner points");
    const auto panel21 = LineOf(lines, " 2   1 ");
    EXPECT_GT(panel21, corners);
    ExpectLinesAt(lines, panel21, {" 2   1 ", " x    = 0.1464  0.5000  0.5000  0.1464  ",
                                   " y    = 0.0000  0.0000  0.5000  0.3536  ",
                                   " z    = -0.3536  -0.5000  0.0000  0.0000  ", ""});
    const auto panel41 = LineOf(lines, " 4   1 ");
    ExpectLinesAt(lines, panel41, {" 4   1 ", " x    = 0.8536  1.0000  0.8536  ", " y    = 0.0000  0.0000  0.3536  ",
                                   " z    = -0.3536  0.0000  0.0000  ", ""});

    const auto control = LineOf(lines, " Coordinates of panel control points");
    ExpectLinesAt(lines, control + 2 + 4, {"xC   0.3232  0.3232  0.3232  0.3232  ",
                                           "yC   0.2134  0.2134  -0.2134  -0.2134  ",
                                           "zC   -0.2134  0.2134  0.2134  -0.2134  ", ""});

    const auto cosines = LineOf(lines, " Cosine directors of panel axes");
    const auto row2 = cosines + 2 + 12;  // each row: three groups of three lines and an empty line
    EXPECT_EQ(lines[row2].rfind("XsiX 0.9239  ", 0), 0u) << lines[row2];
    EXPECT_EQ(lines[row2 + 1].rfind("XsiY 0.0000  ", 0), 0u) << lines[row2 + 1];
    EXPECT_EQ(lines[row2 + 2].rfind("XsiZ -0.3827  ", 0), 0u) << lines[row2 + 2];
    EXPECT_EQ(lines[row2 + 4].rfind("ItaX -0.2597  ", 0), 0u) << lines[row2 + 4];
    EXPECT_EQ(lines[row2 + 5].rfind("ItaY -0.7345  ", 0), 0u) << lines[row2 + 5];
    EXPECT_EQ(lines[row2 + 6].rfind("ItaZ -0.6269  ", 0), 0u) << lines[row2 + 6];
    EXPECT_EQ(lines[row2 + 8].rfind("ZtaX -0.2811  ", 0), 0u) << lines[row2 + 8];
    EXPECT_EQ(lines[row2 + 9].rfind("ZtaY 0.6786  ", 0), 0u) << lines[row2 + 9];
    EXPECT_EQ(lines[row2 + 10].rfind("ZtaZ -0.6786  ", 0), 0u) << lines[row2 + 10];
    const auto row4 = cosines + 2 + 3 * 12;
    EXPECT_EQ(lines[row4 + 8].rfind("ZtaX 0.8629  ", 0), 0u) << lines[row4 + 8];
    EXPECT_EQ(lines[row4 + 9].rfind("ZtaY 0.3574  ", 0), 0u) << lines[row4 + 9];
    EXPECT_EQ(lines[row4 + 10].rfind("ZtaZ -0.3574  ", 0), 0u) << lines[row4 + 10];

    const auto inAxes = LineOf(lines, " Coordinates of panel corner points in panel axis");
    const auto axes21 = LineOf(lines, " 2   1 ", 1);
    EXPECT_GT(axes21, inAxes);
    ExpectLinesAt(lines, axes21, {" 2   1 ", "Xsi  -0.1097  0.2730  0.0817  -0.2450  ",
                                  "Ita  0.2905  0.2905  -0.3902  -0.1908  ", ""});
    const auto axes41 = LineOf(lines, " 4   1 ", 1);
    ExpectLinesAt(lines, axes41, {" 4   1 ", "Xsi  -0.2364  0.1462  0.0902  ", "Ita  0.1262  0.1262  -0.2524  ", ""});
}

TEST(GoldenSphere, CoefficientTablesStartWithTheReferenceRows) {
    const auto lines = ProgramLines();
    const auto normal = LineOf(lines, "Hess method - Normal velocities");
    EXPECT_EQ(lines[normal + 2],
              " 0.5000 0.0255 0.0224 0.0255 0.0737 0.0537 0.0451 0.0537 0.0328 0.0309 0.0292 0.0309 0.0074 0.0074 "
              "0.0073 0.0074 0.8629");
    const auto u = LineOf(lines, "u Tangential velocities");
    EXPECT_EQ(u, normal + 2 + 16 + 1);
    EXPECT_EQ(lines[u + 2],
              " 0.0154 0.0985 0.0349 -0.0042 -0.1489 0.0487 0.0253 -0.0495 -0.0258 0.0050 0.0042 -0.0188 -0.0034 "
              "-0.0009 -0.0008 -0.0030");
    const auto v = LineOf(lines, "v Tangential velocities");
    EXPECT_EQ(v, u + 2 + 16 + 1);
    EXPECT_EQ(lines[v + 2],
              " -0.0133 0.0188 -0.0301 -0.1002 0.1285 0.0572 -0.0218 -0.0566 0.0223 0.0197 -0.0036 -0.0078 0.0029 "
              "0.0029 0.0007 0.0004");
    for (std::size_t m = 0; m < 16; ++m) {
        // The diagonal of the normal table is the half self-influence.
        const std::string& line = lines[normal + 2 + m];
        std::size_t p = 0;
        for (std::size_t n = 0; n <= m; ++n) p = line.find(' ', p) + 1;
        EXPECT_EQ(line.substr(p, 6), "0.5000") << "row " << m + 1;
    }
}

TEST(GoldenSphere, SourceStrengthsAndOneMinusCpHoldTheReferenceValues) {
    const auto lines = ProgramLines();
    const auto sigma = LineOf(lines, "Source strengths");
    const auto cp = LineOf(lines, "1-Cp");
    EXPECT_EQ(lines[sigma - 1], "");
    auto fourTimes = [](const std::string& value) { return value + "  " + value + "  " + value + "  " + value + "  "; };
    ExpectLinesAt(lines, sigma, {"Source strengths", "", fourTimes("1.498630"), fourTimes("0.466134"),
                                 fourTimes("-0.466134"), fourTimes("-1.498630"), "", "1-Cp", ""});
    ExpectLinesAt(lines, cp + 2, {fourTimes("0.566509"), fourTimes("1.745069"), fourTimes("1.745069"),
                                  fourTimes("0.566509")});
    EXPECT_EQ(cp + 6, lines.size()) << "1-Cp is the last section";
}

}  // namespace
}  // namespace panelflow
