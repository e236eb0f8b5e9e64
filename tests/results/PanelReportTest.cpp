// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/PanelReport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "results/ResultsFile.h"
#include "support/PanelTestSupport.h"

namespace panelflow {
namespace {

using testing::TemporaryResultsFile;

constexpr const char* kTitles[] = {
    " Coordinates of panel corner points",
    " Coordinates of panel control points",
    " Cosine directors of panel axes",
    " Coordinates of panel corner points in panel axis",
};

std::vector<std::string> ReportLines(const PanelModel& model) {
    TemporaryResultsFile file;
    ResultsAppender out(file.path());
    WritePanelReport(model, out);
    const Status status = out.Close();
    EXPECT_TRUE(status.ok) << status.message;
    return file.Lines();
}

// The four sections, split at their titles; each keeps its title line.
std::vector<std::vector<std::string>> Sections(const std::vector<std::string>& lines) {
    std::vector<std::size_t> starts;
    for (const char* title : kTitles) {
        const auto at = std::find(lines.begin(), lines.end(), title);
        EXPECT_NE(at, lines.end()) << "missing title \"" << title << "\"";
        if (at == lines.end()) return {};
        starts.push_back(static_cast<std::size_t>(at - lines.begin()));
    }
    EXPECT_EQ(starts[0], 0u);
    starts.push_back(lines.size());
    std::vector<std::vector<std::string>> sections;
    for (std::size_t s = 0; s < 4; ++s) sections.emplace_back(lines.begin() + starts[s], lines.begin() + starts[s + 1]);
    return sections;
}

// The number of values after `label` on a line: every value ends in two blanks.
int ValueCount(const std::string& line, std::size_t labelLength) {
    int count = 0;
    for (std::size_t at = line.find("  ", labelLength); at != std::string::npos; at = line.find("  ", at + 2)) ++count;
    return count;
}

TEST(PanelReportTest, FourByFourSphereWritesTheReferenceLines) {
    const auto sections = Sections(ReportLines(testing::SpherePanels(4, 4)));
    ASSERT_EQ(sections.size(), 4u);

    // Section 1: title, empty line, then five lines per panel; panel (2, 1) is the fifth block.
    const std::vector<std::string> block21(sections[0].begin() + 2 + 5 * 4, sections[0].begin() + 2 + 5 * 5);
    const std::vector<std::string> expected21 = {
        " 2   1 ",
        " x    = 0.1464  0.5000  0.5000  0.1464  ",
        " y    = 0.0000  0.0000  0.5000  0.3536  ",
        " z    = -0.3536  -0.5000  0.0000  0.0000  ",
        "",
    };
    EXPECT_EQ(block21, expected21);
    const std::vector<std::string> block41(sections[0].begin() + 2 + 5 * 12, sections[0].begin() + 2 + 5 * 13);
    EXPECT_EQ(block41[0], " 4   1 ");
    EXPECT_EQ(block41[1], " x    = 0.8536  1.0000  0.8536  ");
    EXPECT_EQ(block41[2], " y    = 0.0000  0.0000  0.3536  ");

    // Section 2: title, empty line, four lines per row.
    const std::vector<std::string> row2(sections[1].begin() + 2 + 4, sections[1].begin() + 2 + 8);
    const std::vector<std::string> expectedRow2 = {
        "xC   0.3232  0.3232  0.3232  0.3232  ",
        "yC   0.2134  0.2134  -0.2134  -0.2134  ",
        "zC   -0.2134  0.2134  0.2134  -0.2134  ",
        "",
    };
    EXPECT_EQ(row2, expectedRow2);

    // Section 3: row 1's first group opens with the xi components of the pole triangles.
    EXPECT_EQ(sections[2][2].substr(0, 5), "XsiX ");
    EXPECT_EQ(sections[2][14].substr(0, 5), "XsiX ");  // row 2 follows after 3 groups of 4 lines

    // Section 4: title, empty line, four lines per panel.
    EXPECT_EQ(sections[3][2 + 4 * 4], " 2   1 ");
    EXPECT_EQ(sections[3][2 + 4 * 4 + 1], "Xsi  -0.1097  0.2730  0.0817  -0.2450  ");
    EXPECT_EQ(sections[3][2 + 4 * 4 + 2], "Ita  0.2905  0.2905  -0.3902  -0.1908  ");
    EXPECT_EQ(sections[3][2 + 4 * 12 + 1], "Xsi  -0.2364  0.1462  0.0902  ");
    EXPECT_EQ(sections[3][2 + 4 * 12 + 2], "Ita  0.1262  0.1262  -0.2524  ");
}

// A cone of one panel row: row 1 a circle of radius 1 at x = 0, row 2 the apex (1, 0, 0).
PanelModel OneRowCone(int NJ) {
    PanelModel model = testing::GridOf(1, NJ, [NJ](int i, int j) {
        if (i == 2) return testing::Point{1.0, 0.0, 0.0};
        const double theta = -Pi / 2 + (j - 1) * TwoPi / NJ;
        return testing::Point{0.0, std::cos(theta), std::sin(theta)};
    });
    EXPECT_TRUE(BuildPanels(model).ok);
    return model;
}

struct ReportShape {
    const char* name;
    PanelModel (*model)();
};

void PrintTo(const ReportShape& shape, std::ostream* os) { *os << shape.name; }

class PanelReportShapeTest : public ::testing::TestWithParam<ReportShape> {};

TEST_P(PanelReportShapeTest, SectionsHoldOneBlockPerPanelAndOneGroupPerRow) {
    const PanelModel m = GetParam().model();
    const int NI = m.NI, NJ = m.NJ;
    const auto sections = Sections(ReportLines(m));
    ASSERT_EQ(sections.size(), 4u);

    const auto& corners = sections[0];
    ASSERT_EQ(corners.size(), static_cast<std::size_t>(2 + 5 * NI * NJ + 1));
    EXPECT_EQ(corners[1], "");
    EXPECT_EQ(corners.back(), "");
    for (int i = 1; i <= NI; ++i) {
        for (int j = 1; j <= NJ; ++j) {
            const std::size_t at = 2 + 5 * ((i - 1) * NJ + (j - 1));
            const int n = (i == 1 || i == NI) ? 3 : 4;
            EXPECT_EQ(corners[at], " " + std::to_string(i) + "   " + std::to_string(j) + " ");
            for (int line = 1; line <= 3; ++line) EXPECT_EQ(ValueCount(corners[at + line], 8), n) << corners[at + line];
            EXPECT_EQ(corners[at + 4], "");
        }
    }

    const auto& controlPoints = sections[1];
    ASSERT_EQ(controlPoints.size(), static_cast<std::size_t>(2 + 4 * NI + 1));
    for (int i = 1; i <= NI; ++i) {
        const std::size_t at = 2 + 4 * (i - 1);
        for (int line = 0; line < 3; ++line) EXPECT_EQ(ValueCount(controlPoints[at + line], 5), NJ);
        EXPECT_EQ(controlPoints[at + 3], "");
    }
    EXPECT_EQ(controlPoints.back(), "");

    const auto& axes = sections[2];
    ASSERT_EQ(axes.size(), static_cast<std::size_t>(2 + 12 * NI + 1));
    const char* labels[] = {"XsiX ", "XsiY ", "XsiZ ", "ItaX ", "ItaY ", "ItaZ ", "ZtaX ", "ZtaY ", "ZtaZ "};
    for (int i = 1; i <= NI; ++i) {
        for (int group = 0; group < 3; ++group) {
            const std::size_t at = 2 + 12 * (i - 1) + 4 * group;
            for (int line = 0; line < 3; ++line) {
                EXPECT_EQ(axes[at + line].substr(0, 5), labels[3 * group + line]);
                EXPECT_EQ(ValueCount(axes[at + line], 5), NJ);
            }
            EXPECT_EQ(axes[at + 3], "");
        }
    }
    EXPECT_EQ(axes.back(), "");

    const auto& panelAxes = sections[3];
    ASSERT_EQ(panelAxes.size(), static_cast<std::size_t>(2 + 4 * NI * NJ));
    for (int i = 1; i <= NI; ++i) {
        for (int j = 1; j <= NJ; ++j) {
            const std::size_t at = 2 + 4 * ((i - 1) * NJ + (j - 1));
            const int n = (i == 1 || i == NI) ? 3 : 4;
            EXPECT_EQ(panelAxes[at + 1].substr(0, 5), "Xsi  ");
            EXPECT_EQ(panelAxes[at + 2].substr(0, 5), "Ita  ");
            EXPECT_EQ(ValueCount(panelAxes[at + 1], 5), n);
            EXPECT_EQ(ValueCount(panelAxes[at + 2], 5), n);
            EXPECT_EQ(panelAxes[at + 3], "");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Models, PanelReportShapeTest,
    ::testing::Values(ReportShape{"Sphere4x4", [] { return testing::SpherePanels(4, 4); }},
                      ReportShape{"Sphere2x3", [] { return testing::SpherePanels(2, 3); }},
                      ReportShape{"Sphere11x12", [] { return testing::SpherePanels(11, 12); }},
                      ReportShape{"OneRowCone", [] { return OneRowCone(5); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PanelReportTest, SecondReportFollowsTheFirstWhole) {
    const PanelModel m = testing::SpherePanels(3, 3);
    TemporaryResultsFile file;
    for (int run = 0; run < 2; ++run) {
        ResultsAppender out(file.path());
        WritePanelReport(m, out);
        ASSERT_TRUE(out.Close().ok);
    }
    const std::vector<std::string> lines = file.Lines();
    ASSERT_EQ(lines.size() % 2, 0u);
    const std::size_t half = lines.size() / 2;
    EXPECT_TRUE(std::equal(lines.begin(), lines.begin() + half, lines.begin() + half));
    EXPECT_EQ(lines[half], kTitles[0]);
}

}  // namespace
}  // namespace panelflow
