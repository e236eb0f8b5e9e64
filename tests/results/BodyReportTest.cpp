// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/BodyReport.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/PanelTestSupport.h"

namespace panelflow {
namespace {

using testing::SphereGrid;
using testing::TemporaryResultsFile;

std::vector<std::string> WrittenSections(int NI, int NJ) {
    BodyProfile profile;
    PanelModel model = SphereGrid(NI, NJ, &profile);
    TemporaryResultsFile file;
    ResultsAppender out(file.path());
    WriteProfileSection(profile, model.NI1, out);
    WriteBodyCoordinatesSection(model, out);
    EXPECT_TRUE(out.Close().ok);
    return file.Lines();
}

TEST(BodyOfRevolutionSectionsTest, FourByFourSphereWritesTheProfileAndNodeTables) {
    const std::vector<std::string> lines = WrittenSections(4, 4);
    ASSERT_EQ(lines.size(), 3u + 5u + 3u + 25u);
    EXPECT_EQ(lines[0], " Profile of the body of revolution");
    EXPECT_EQ(lines[1], "  i     xI     rI");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], " 1    0.0000  0.0000  ");
    EXPECT_EQ(lines[4], " 2    0.1464  0.3536  ");
    EXPECT_EQ(lines[7], " 5    1.0000  0.0000  ");
    EXPECT_EQ(lines[8], "");
    EXPECT_EQ(lines[9], " Coordinates of the body of revolution");
    EXPECT_EQ(lines[10], "");
    EXPECT_EQ(lines[11], " 1    1   0.0000  0.0000  0.0000  ");
    // Node (3, 2) is the 12th node line (i outer, j inner over 5 columns).
    EXPECT_EQ(lines[11 + 2 * 5 + 1], " 3    2   0.5000  0.5000  0.0000  ");
    EXPECT_EQ(lines[11 + 1 * 5 + 0], " 2    1   0.1464  0.0000  -0.3536  ");
    EXPECT_EQ(lines.back(), " 5    5   1.0000  0.0000  0.0000  ");
}

TEST(BodyOfRevolutionSectionsTest, LineCountsFollowTheNodeCounts) {
    for (const auto& [NI, NJ] : {std::pair{1, 1}, std::pair{3, 7}, std::pair{12, 10}}) {
        const std::vector<std::string> lines = WrittenSections(NI, NJ);
        EXPECT_EQ(lines.size(), static_cast<std::size_t>(3 + (NI + 1) + 3 + (NI + 1) * (NJ + 1)))
            << NI << " x " << NJ;
        // Counters of two digits keep their blanks: " 12 " then three blanks.
        if (NI >= 11) {
            EXPECT_EQ(lines[3 + 11].substr(0, 7), " 12    ");
        }
    }
}

}  // namespace
}  // namespace panelflow
