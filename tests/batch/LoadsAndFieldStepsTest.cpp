// SPDX-License-Identifier: GPL-3.0-or-later
// The batch program's loads and field steps refuse bad input with a message that says what is
// wrong and where, and leave every file as it was: the results file, a file already at the
// target, and no new file beside them. (What they compute is checked in tests/solver; the files
// are read back by Python's json and VTK's reader in read_loads_and_field.py.)

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/BatchRunner.h"
#include "support/TempDir.h"

namespace panelflow {
namespace {

using testing::ReadFile;
using testing::RunBatch;
using testing::TempDir;
using testing::WriteFile;

struct BadStep {
    const char* name;
    const char* before;   // the steps before the refused one
    const char* step;
    const char* message;  // standard error holds it
};

void PrintTo(const BadStep& c, std::ostream* os) { *os << c.name; }

class RefusedStep : public ::testing::TestWithParam<BadStep> {};

TEST_P(RefusedStep, SaysWhatIsWrongAndLeavesEveryFileAsItWas) {
    const BadStep& c = GetParam();
    TempDir dir;
    WriteFile(dir.File("old.json"), "old loads\n");
    WriteFile(dir.File("old.csv"), "old table\n");
    WriteFile(dir.File("old.vts"), "old grid\n");
    WriteFile(dir.File("points.csv"), "x,y,z\n2,0,0\n3,0.5,0\n4,abc,0\n");
    WriteFile(dir.File("short.csv"), "x,y,z\n2,0,0\n3,0.5\n4,0,0\n");
    // The results file as the steps before the refused one leave it: the refused step adds
    // nothing, and the step after it is not run.
    TempDir reference;
    ASSERT_EQ(RunBatch(reference, std::string("--ni 6 --nj 6 ") + c.before).status, 0);

    const auto run = RunBatch(dir, std::string("--ni 6 --nj 6 ") + c.before + " " + c.step + " sphere");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find(c.message), std::string::npos) << run.errors;
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(ReadFile(dir.File("Axisym.txt")), ReadFile(reference.File("Axisym.txt")));
    EXPECT_EQ(ReadFile(dir.File("old.json")), "old loads\n");
    EXPECT_EQ(ReadFile(dir.File("old.csv")), "old table\n");
    EXPECT_EQ(ReadFile(dir.File("old.vts")), "old grid\n");
    std::size_t entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        if (entry.path().filename().string()[0] != '.') ++entries;
    EXPECT_EQ(entries, 6u);  // Axisym.txt, the three old files and the two points files
}

INSTANTIATE_TEST_SUITE_P(
    LoadsAndField, RefusedStep,
    ::testing::Values(
        BadStep{"LoadsBeforeHess", "sphere", "loads old.json",
                "There is no solution of this geometry to compute loads from: apply the Hess panel method first."},
        BadStep{"FieldBeforeHess", "sphere hess sphere", "field 0:1:3,0:0:1,0:0:1 old.csv",
                "There is no solution of this geometry to compute the flow field of: apply the Hess panel method first."},
        BadStep{"BoxWithTwoParts", "sphere hess", "field 0:1:3,0:1:3 old.vts",
                "The box \"0:1:3,0:1:3\": a box is X0:X1:NX,Y0:Y1:NY,Z0:Z1:NZ, three parts separated by commas; this "
                "has 2."},
        BadStep{"BoxWithABadNumber", "sphere hess", "field 0:1:3,-1:1e:5,0:0:1 old.vts",
                "The box \"0:1:3,-1:1e:5,0:0:1\": Y1 is \"1e\", which is not a finite decimal number."},
        BadStep{"BoxWithNoPoints", "sphere hess", "field 0:1:0,0:0:1,0:0:1 old.vts",
                "NX must be a whole number from 1 to 100000; it is \"0\"."},
        BadStep{"PointsFileWithABadNumber", "sphere hess", "field points.csv old.csv",
                "points.csv, line 4, field 2: expected the y of point 3, found \"abc\"."},
        BadStep{"PointsFileWithAShortLine", "sphere hess", "field short.csv old.csv",
                "short.csv, line 3: the z of point 2 is missing; a point's line holds three numbers, x,y,z."},
        BadStep{"PointsFileMissing", "sphere hess", "field nowhere.csv old.csv", "nowhere.csv does not exist."},
        BadStep{"PointsToAGrid", "sphere hess", "field points.csv old.vts",
                "A .vts file holds a box grid; the flow at the points of a file goes to a .csv file."},
        BadStep{"FieldToAnUnknownFormat", "sphere hess", "field 0:1:3,0:0:1,0:0:1 flow.txt",
                "The flow field is written to a .csv or a .vts file; flow.txt is neither."},
        BadStep{"FieldToAMissingDirectory", "sphere hess", "field 0:1:3,0:0:1,0:0:1 missing/flow.vts",
                "The VTK file missing/flow.vts cannot be written: its folder missing does not exist."},
        BadStep{"LoadsToAMissingDirectory", "sphere hess", "loads missing/loads.json",
                "The loads file missing/loads.json cannot be written: its folder missing does not exist."},
        BadStep{"LoadsToADirectory", "sphere hess", "loads .", "The loads file . is not a regular file (a directory)"},
        BadStep{"LoadsOverTheResultsFile", "sphere hess", "loads ./Axisym.txt",
                "The loads file ./Axisym.txt is the results file; nothing was written to it."}),
    [](const ::testing::TestParamInfo<BadStep>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace panelflow
