// SPDX-License-Identifier: GPL-3.0-or-later
// The batch program's csv and vtk steps and its --stream option: what they write, that they
// need a solution of the current geometry, that a file that cannot be written leaves nothing
// behind, and the sphere in a stream across its axis against the exact flow.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>

#include "support/BatchRunner.h"
#include "support/CsvTable.h"
#include "support/TempDir.h"

namespace panelflow {
namespace {

using testing::Lines;
using testing::ParseCsv;
using testing::ReadFile;
using testing::RunBatch;
using testing::TempDir;

TEST(BatchExportSteps, SixteenBySixteenSphereGivesOneRowAndOneCellPerPanelWithTheResultsFilesValues) {
    TempDir dir;
    const auto run = RunBatch(dir, "--ni 16 --nj 16 sphere hess csv s.csv vtk s.vtp", "LANG=tr_TR.UTF-8 LC_ALL=tr_TR.UTF-8");
    ASSERT_EQ(run.status, 0) << run.errors;
    const auto table = ParseCsv(ReadFile(dir.File("s.csv")));
    ASSERT_EQ(table.columns.size(), 15u);
    ASSERT_EQ(table.rows.size(), 256u);
    const std::string vtp = ReadFile(dir.File("s.vtp"));
    EXPECT_NE(vtp.find("NumberOfPolys=\"256\""), std::string::npos);

    // The "1-Cp" section: an empty line, then 16 lines of 16 values with six decimals.
    const auto lines = Lines(ReadFile(dir.File("Axisym.txt")));
    std::size_t title = 0;
    while (title < lines.size() && lines[title] != "1-Cp") ++title;
    ASSERT_LT(title + 17, lines.size() + 1);
    const int oneMinusCp = table.Column("one_minus_cp"), cp = table.Column("cp");
    for (std::size_t row = 0; row < table.rows.size(); ++row) {
        const auto& r = table.rows[row];
        ASSERT_EQ(r[0], static_cast<double>(row / 16 + 1));
        ASSERT_EQ(r[1], static_cast<double>(row % 16 + 1));
        std::istringstream printed(lines[title + 2 + row / 16]);
        double value = 0.0;
        for (std::size_t j = 0; j <= row % 16; ++j) printed >> value;
        EXPECT_NEAR(r[oneMinusCp], value, 5e-7) << "panel " << row + 1;
        EXPECT_DOUBLE_EQ(r[cp], 1.0 - r[oneMinusCp]);
    }
}

TEST(BatchExportSteps, ExportWithoutASolutionOfTheCurrentGeometryIsRefused) {
    for (const char* steps : {"csv s.csv", "sphere vtk s.vtp", "sphere hess sphere csv s.csv"}) {
        TempDir dir;
        const auto run = RunBatch(dir, steps);
        EXPECT_EQ(run.status, 1) << steps;
        EXPECT_EQ(run.errors, "panelflow-batch: There is no solution of this geometry to export: apply the Hess panel method first.\n");
        EXPECT_FALSE(std::filesystem::exists(dir.File("s.csv")) || std::filesystem::exists(dir.File("s.vtp")));
    }
}

TEST(BatchExportSteps, AFileThatCannotBeWrittenStopsTheRunAndLeavesNoPartBehind) {
    TempDir dir;
    for (const char* step : {"csv missing/s.csv", "vtk missing/s.vtp"}) {
        const auto run = RunBatch(dir, std::string("sphere hess ") + step + " csv after.csv");
        EXPECT_EQ(run.status, 1) << step;
        EXPECT_NE(run.errors.find("cannot be written"), std::string::npos) << run.errors;
    }
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path()))
        if (entry.path().filename().string()[0] != '.') ++entries;
    EXPECT_EQ(entries, 1u);  // Axisym.txt
}

TEST(BatchExportSteps, SphereInAStreamAlongYMatchesTheExactFlowAtEveryControlPoint) {
    TempDir dir;
    const auto run = RunBatch(dir, "--ni 32 --nj 32 --stream 0,1,0 sphere hess csv s.csv");
    ASSERT_EQ(run.status, 0) << run.errors;
    const auto table = ParseCsv(ReadFile(dir.File("s.csv")));
    ASSERT_EQ(table.rows.size(), 1024u);
    const int x = table.Column("x"), oneMinusCp = table.Column("one_minus_cp");
    double worst = 0.0;
    for (const auto& r : table.rows) {
        const double cx = r[x] - 0.5, cy = r[x + 1], cz = r[x + 2];
        const double c_y = cy / std::sqrt(cx * cx + cy * cy + cz * cz);
        worst = std::fmax(worst, std::abs(r[oneMinusCp] - 2.25 * (1.0 - c_y * c_y)));
    }
    EXPECT_LT(worst, 0.05);
}

TEST(BatchExportSteps, StreamOptionsThatAreNotThreeNumbersAreUsageErrors) {
    TempDir dir;
    for (const char* stream : {"1,0", "1,0,0,0", "1;0;0", "0,0,0", "1,0,x", "1,0,inf", "1.5e400,0,0", ""}) {
        const auto run = RunBatch(dir, std::string("--stream '") + stream + "' sphere hess");
        EXPECT_EQ(run.status, 2) << stream;
        EXPECT_FALSE(std::filesystem::exists(dir.File("Axisym.txt"))) << stream;
    }
    EXPECT_EQ(RunBatch(dir, "--stream 2,0,0 sphere hess --stream -1,0.5e0,0 hess").status, 0);
}

// Any speed within the range of a double, however small or large, gives the 1 - Cp of the
// stream's direction; strengths and velocities scale with the speed.
TEST(BatchExportSteps, AStreamOfAnySpeedGivesTheOneMinusCpOfItsDirection) {
    struct Case {
        const char* unit;
        const char* stream;
        double speed;
    };
    for (const Case& c : {Case{"1,0,0", "3,0,0", 3.0}, Case{"1,0,0", "1e-161,0,0", 1e-161},
                          Case{"1,1,0", "1e200,1e200,0", 1e200}, Case{"1,1,0", "1e-300,1e-300,0", 1e-300}}) {
        TempDir unit, scaled;
        ASSERT_EQ(RunBatch(unit, std::string("--ni 8 --nj 8 --stream ") + c.unit + " sphere hess csv s.csv").status, 0);
        const auto run = RunBatch(scaled, std::string("--ni 8 --nj 8 --stream ") + c.stream + " sphere hess csv s.csv");
        ASSERT_EQ(run.status, 0) << run.errors;
        const auto a = ParseCsv(ReadFile(unit.File("s.csv"))), b = ParseCsv(ReadFile(scaled.File("s.csv")));
        const int oneMinusCp = a.Column("one_minus_cp"), sigma = a.Column("sigma"), vx = a.Column("vx");
        ASSERT_EQ(a.rows.size(), b.rows.size());
        for (std::size_t row = 0; row < a.rows.size(); ++row) {
            EXPECT_NEAR(a.rows[row][oneMinusCp], b.rows[row][oneMinusCp], 1e-12) << c.stream;
            EXPECT_NEAR(b.rows[row][sigma] / c.speed, a.rows[row][sigma], 1e-12) << c.stream;
            EXPECT_NEAR(b.rows[row][vx] / c.speed, a.rows[row][vx], 1e-12) << c.stream;
        }
    }
}

TEST(BatchExportSteps, AStreamTooStrongForTheBodyIsRefusedNamingIt) {
    TempDir geometryOnly, dir;
    ASSERT_EQ(RunBatch(geometryOnly, "sphere").status, 0);
    const auto run = RunBatch(dir, "--stream 1e308,1e308,0 sphere hess");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors.rfind("panelflow-batch: The free stream \"1e308,1e308,0\" is too strong for this body", 0), 0u) << run.errors;
    EXPECT_EQ(ReadFile(dir.File("Axisym.txt")), ReadFile(geometryOnly.File("Axisym.txt")));
    // A speed that is itself beyond the range is refused with the options.
    const auto usage = RunBatch(dir, "--stream 1.7e308,1.7e308,0 sphere hess");
    EXPECT_EQ(usage.status, 2);
    EXPECT_NE(usage.errors.find("\"1.7e308,1.7e308,0\" is too strong"), std::string::npos) << usage.errors;
}

}  // namespace
}  // namespace panelflow
