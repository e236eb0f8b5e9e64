// SPDX-License-Identifier: GPL-3.0-or-later
// The CSV and VTK texts of the surface solution and the whole-or-nothing file writer: numbers
// that read back as the very same doubles in a Turkish locale, one polygon per panel on its own
// corners, and failures that leave the old file and no temporary file behind.

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <string>
#include <vector>

#include "geometry/BodyOfRevolution.h"
#include "geometry/PanelGeometry.h"
#include "results/SurfaceExport.h"
#include "results/WholeFile.h"
#include "support/CsvTable.h"
#include "support/TempDir.h"

namespace panelflow {
namespace {

using testing::ParseCsv;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

// A 3 x 5 sphere with made-up solution values that need all 17 digits.
void SmallSolvedSphere(PanelModel& model, SurfaceSolution& s) {
    model.NI = 3, model.NJ = 5, model.NI1 = 4, model.NJ1 = 6;
    BodyProfile profile;
    SphereProfile(model.NI, profile);
    BuildBodyOfRevolution(profile, model);
    ASSERT_TRUE(BuildPanels(model).ok);
    for (auto* a : {&s.Sigma, &s.OneMinusCp, &s.Vx, &s.Vy, &s.Vz}) *a = Array2D<double>(3, 5);
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 5; ++j) {
            s.Sigma(i, j) = (i - 2) / 3.0 + j * 1e-7;
            s.OneMinusCp(i, j) = 2.25 / (i + j / 7.0);
            s.Vx(i, j) = 0.1 * i, s.Vy(i, j) = -1.0 / j, s.Vz(i, j) = 1e-300 * j;
        }
}

TEST(SurfaceCsv, EveryNumberReadsBackAsTheSameDoubleUnderATurkishLocale) {
    PanelModel model;
    SurfaceSolution s;
    SmallSolvedSphere(model, s);
    const char* old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old ? old : "C";
    std::setlocale(LC_ALL, "tr_TR.UTF-8");
    const auto table = ParseCsv(SurfaceCsvText(model, s));
    std::setlocale(LC_ALL, saved.c_str());

    ASSERT_EQ(table.rows.size(), 15u);
    EXPECT_EQ(table.columns.front(), "i");
    EXPECT_EQ(table.columns.back(), "vz");
    std::size_t row = 0;
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 5; ++j, ++row) {
            const auto& r = table.rows[row];
            const double expected[] = {double(i), double(j), model.xC(i, j), model.yC(i, j), model.zC(i, j),
                                       model.ZtaX(i, j), model.ZtaY(i, j), model.ZtaZ(i, j), model.Area(i, j),
                                       s.Sigma(i, j), s.OneMinusCp(i, j), 1.0 - s.OneMinusCp(i, j),
                                       s.Vx(i, j), s.Vy(i, j), s.Vz(i, j)};
            ASSERT_EQ(r.size(), 15u);
            for (std::size_t c = 0; c < 15; ++c) EXPECT_EQ(r[c], expected[c]) << table.columns[c] << " of row " << row;
        }
}

TEST(SurfaceVtp, HoldsOnePolygonPerPanelOnItsOwnCorners) {
    PanelModel model;
    SurfaceSolution s;
    SmallSolvedSphere(model, s);
    const std::string vtp = SurfaceVtpText(model, s);
    // Rows 1 and 3 are triangles, row 2 quadrilaterals: 3 * 5 + 4 * 5 + 3 * 5 points.
    EXPECT_NE(vtp.find("NumberOfPoints=\"50\""), std::string::npos);
    EXPECT_NE(vtp.find("NumberOfPolys=\"15\""), std::string::npos);
    EXPECT_NE(vtp.find("\n          50\n        </DataArray>"), std::string::npos);  // the last offset
    for (const char* name : {"\"sigma\"", "\"one_minus_cp\"", "\"cp\"", "\"normal\"", "\"velocity\"", "\"area\""})
        EXPECT_NE(vtp.find(name), std::string::npos) << name;
}

TEST(WholeFile, ReplacesTheFileAndAFailureLeavesTheOldOneAndNoTemporaryFile) {
    TempDir dir;
    const std::string path = dir.File("out.csv");
    WriteFile(path, "old");
    ASSERT_TRUE(WriteWholeFile(path, "new contents", "The CSV file").ok);
    EXPECT_EQ(ReadFile(path), "new contents");
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::others_read,
              std::filesystem::perms::others_read);

    std::filesystem::create_directory(dir.File("a directory"));
    const Status onDirectory = WriteWholeFile(dir.File("a directory"), "x", "The CSV file");
    EXPECT_FALSE(onDirectory.ok);
    EXPECT_EQ(onDirectory.message,
              "The CSV file " + dir.File("a directory") + " is not a regular file (a directory); nothing was written to it.");
    EXPECT_FALSE(WriteWholeFile(dir.File("missing/out.csv"), "x", "The CSV file").ok);
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++entries;
    EXPECT_EQ(entries, 2u);
    EXPECT_EQ(ReadFile(path), "new contents");
}

// A stop asked for when the new file is complete: the progress looks into the folder at that
// moment, when the temporary file exists, so that its name is checked too.
TEST(WholeFile, AStopBeforeTheRenameKeepsTheOldFileAndRemovesTheTemporaryOneNamedAfterIt) {
    struct StopWhenAsked : Progress {
        explicit StopWhenAsked(const TempDir& dir) : dir(dir) {}
        void Report(std::string_view, double) override {}
        bool StopRequested() const override {
            for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
                seen.push_back(entry.path().filename().string());
            return true;
        }
        const TempDir& dir;
        mutable std::vector<std::string> seen;
    };
    TempDir dir;
    WriteFile(dir.File("out.csv"), "old");
    StopWhenAsked stop(dir);
    EXPECT_THROW(WriteWholeFile(dir.File("out.csv"), "new", "The CSV file", {"", &stop}), Cancelled);
    EXPECT_EQ(ReadFile(dir.File("out.csv")), "old");
    EXPECT_EQ(testing::Snapshot(dir.path()).size(), 1u);
    ASSERT_EQ(stop.seen.size(), 2u);
    const std::string temporary = stop.seen[0] == "out.csv" ? stop.seen[1] : stop.seen[0];
    EXPECT_EQ(temporary.rfind("out.csv.panelflow-unfinished-", 0), 0u) << temporary;
}

}  // namespace
}  // namespace panelflow
