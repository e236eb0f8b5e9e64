// SPDX-License-Identifier: GPL-3.0-or-later
// The batch program's profile and corners steps: the same effects as choosing the files in the
// window, the NI text included, and a refused file that stops the run with nothing appended.

#include <gtest/gtest.h>

#include <string>

#include "support/BatchRunner.h"
#include "support/TempDir.h"

namespace panelflow {
namespace {

using testing::ReadFile;
using testing::RunBatch;
using testing::TempDir;
using testing::WriteFile;

const std::string kExamples = PANELFLOW_SOURCE_DIR "/examples/";

constexpr const char* kFivePoints = "Lens,5,points\n1,0,0\n2,0.25,0.3\n3,0.5,0.4\n4,0.75,0.3\n5,1,0\n";

TEST(BatchFileSteps, AProfileThatChangesNiLeavesTheNewNiForALaterSphere) {
    TempDir changed, typed;
    WriteFile(changed.File("lens.BodyFoil"), kFivePoints);
    WriteFile(typed.File("lens.BodyFoil"), kFivePoints);
    ASSERT_EQ(RunBatch(changed, "--ni 10 profile lens.BodyFoil sphere").status, 0);
    ASSERT_EQ(RunBatch(typed, "--ni 4 profile lens.BodyFoil sphere").status, 0);
    EXPECT_EQ(ReadFile(changed.File("Axisym.txt")), ReadFile(typed.File("Axisym.txt")));
}

TEST(BatchFileSteps, ACornerFileLeavesTheCountTextsAlone) {
    TempDir corners, sphereOnly;
    const auto run = RunBatch(corners, "--ni 3 --nj 5 corners '" + kExamples + "ellipsoid-3axes.Coords' sphere");
    ASSERT_EQ(run.status, 0) << run.errors;
    ASSERT_EQ(RunBatch(sphereOnly, "--ni 3 --nj 5 sphere").status, 0);
    const std::string both = ReadFile(corners.File("Axisym.txt"));
    const std::string sphere = ReadFile(sphereOnly.File("Axisym.txt"));
    ASSERT_GT(both.size(), sphere.size());
    EXPECT_EQ(both.substr(both.size() - sphere.size()), sphere);
    // The grid's own sections come first and hold no profile.
    EXPECT_EQ(both.find("Profile of the body of revolution"), both.size() - sphere.size() + 1);
}

TEST(BatchFileSteps, ARefusedFileExitsWithOneAndAppendsNothing) {
    TempDir dir, sphereOnly;
    WriteFile(dir.File("short.Coords"), "1,1\n1,1,0,0,0\n");
    ASSERT_EQ(RunBatch(sphereOnly, "sphere").status, 0);
    for (const char* step : {"profile missing.BodyFoil", "corners short.Coords", "profile ."}) {
        const auto run = RunBatch(dir, std::string("sphere ") + step + " hess");
        EXPECT_EQ(run.status, 1) << step;
        EXPECT_NE(run.errors.find(std::string(step).substr(std::string(step).find(' ') + 1)), std::string::npos) << run.errors;
        EXPECT_EQ(ReadFile(dir.File("Axisym.txt")), ReadFile(sphereOnly.File("Axisym.txt"))) << step;
    }
    EXPECT_EQ(RunBatch(dir, "corners short.Coords").errors,
              "panelflow-batch: short.Coords ends after record 1 of 4: the first index of node (1, 2) is missing.\n");
}

TEST(BatchFileSteps, TheSphereExampleReadsUnderATurkishLocaleAsTheGeneratedSphere) {
    TempDir profile, sphere;
    ASSERT_EQ(RunBatch(profile, "profile '" + kExamples + "sphere.BodyFoil'", "LANG=tr_TR.UTF-8 LC_ALL=tr_TR.UTF-8").status, 0);
    ASSERT_EQ(RunBatch(sphere, "sphere").status, 0);
    EXPECT_EQ(ReadFile(profile.File("Axisym.txt")), ReadFile(sphere.File("Axisym.txt")));
}

}  // namespace
}  // namespace panelflow
