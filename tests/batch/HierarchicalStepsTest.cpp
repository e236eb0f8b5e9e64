// SPDX-License-Identifier: GPL-3.0-or-later
// The hierarchical solver through the batch program: the choice said on the progress line, its
// memory check and memory that runs out while its matrices grow, and its options.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/BatchRunner.h"
#include "support/TempDir.h"

namespace panelflow {
namespace {

using testing::ReadFile;
using testing::RunBatch;
using testing::TempDir;

const std::string kEllipsoid = PANELFLOW_SOURCE_DIR "/examples/ellipsoid-3axes.Coords";

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A corner-point file of `body` (bench/make_body.py) with NI x NJ panels in `dir`.
std::string MadeBody(const TempDir& dir, const std::string& body, int NI, int NJ) {
    const std::string path = dir.File(body + ".Coords");
    const std::string command = "python3 '" PANELFLOW_SOURCE_DIR "/bench/make_body.py' " + body + " " +
                                std::to_string(NI) + " " + std::to_string(NJ) + " '" + path + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return path;
}

// On a terminal (`script` gives the program one, and keeps what it shows), a step that runs
// longer than a second (a few seconds here) shows its progress; above the line, the solver and why.
TEST(HierarchicalSteps, TheProgressLineSaysWhichSolverAndWhy) {
#if defined(__SANITIZE_ADDRESS__)
    // OpenBLAS 0.3.21's zgemv_n kernels read one element past the end of a matrix that hmat-oss
    // hands to zgesvd while it truncates a complex block (valgrind shows it on the release build);
    // under the sanitizer's allocator that read can land on an unmapped page at this size.
    GTEST_SKIP() << "OpenBLAS's zgemv reads past a matrix of hmat-oss, which faults under the address sanitizer";
#endif
    TempDir dir;
    const std::string body = MadeBody(dir, "flatbase", 80, 160);
    const std::string command = "cd '" + dir.path().string() + "' && script -qec \"'" PANELFLOW_BATCH_PROGRAM
                                "' --no-tables corners '" + body + "' hess\" '" + dir.File("terminal") + "' >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::string shown = ReadFile(dir.File("terminal"));
    EXPECT_TRUE(Has(shown, "panelflow-batch: solver hierarchical: not a body of revolution, coefficient tables not written\r\n"))
        << shown;
    EXPECT_TRUE(Has(shown, " %")) << shown;
    EXPECT_TRUE(Has(ReadFile(dir.File("Axisym.txt")), "\r\n1-Cp\r\n"));
}

TEST(HierarchicalSteps, ItsMemoryCheckNamesTheCompressedMatricesAndChangesNothing) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer's own memory use defeats the limit";
#endif
    TempDir dir, geometryOnly;
    const std::string body = MadeBody(dir, "ellipsoid", 60, 120);
    ASSERT_EQ(RunBatch(geometryOnly, "corners '" + body + "'").status, 0);
    const auto run = RunBatch(dir, "--no-tables corners '" + body + "' hess", "prlimit --as=314572800");
    EXPECT_EQ(run.status, 1) << run.errors;
    EXPECT_TRUE(Has(run.errors, "give 7200 panels, whose compressed influence matrices need")) << run.errors;
    EXPECT_EQ(ReadFile(dir.File("Axisym.txt")), ReadFile(geometryOnly.File("Axisym.txt")));
}

// Room for the program and BLAS's work buffer, but not for the reserve that the solver keeps
// free while its matrices grow: it stops from inside the library's compression.
TEST(HierarchicalSteps, MemoryThatRunsOutWhileTheMatricesGrowRefusesTheStepAndKeepsTheGeometry) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer's own memory use defeats the limit";
#endif
    TempDir dir, geometryOnly;
    ASSERT_EQ(RunBatch(geometryOnly, "corners " + kEllipsoid).status, 0);
    const auto run = RunBatch(dir, "--no-tables corners " + kEllipsoid + " hess", "timeout 300 prlimit --as=230686720");
    EXPECT_EQ(run.status, 1) << run.errors;
    EXPECT_TRUE(Has(run.errors, " of memory, which this program cannot have now; nothing was changed.")) << run.errors;
    EXPECT_FALSE(Has(run.errors, "terminate") || Has(run.errors, "[hmat]")) << run.errors;
    EXPECT_EQ(ReadFile(dir.File("Axisym.txt")), ReadFile(geometryOnly.File("Axisym.txt")));
}

TEST(HierarchicalSteps, WithTheTablesOrABadAccuracyItIsRefused) {
    TempDir dir;
    const auto tables = RunBatch(dir, "--solver hierarchical corners " + kEllipsoid + " hess");
    EXPECT_EQ(tables.status, 1);
    EXPECT_EQ(tables.errors.rfind("panelflow-batch: The hierarchical solver does not form the coefficient tables", 0), 0u)
        << tables.errors;
    for (const char* accuracy : {"0", "1", "1e-13", "0,001", "1e-7x", "nan", ""}) {
        const auto run = RunBatch(dir, std::string("--accuracy '") + accuracy + "' sphere");
        EXPECT_EQ(run.status, 2) << accuracy;
        EXPECT_TRUE(Has(run.errors, "--accuracy needs a number from 1e-12 to 0.1")) << run.errors;
    }
    EXPECT_EQ(RunBatch(dir, "--accuracy 1e-4 --no-tables corners " + kEllipsoid + " hess").status, 0);
}

}  // namespace
}  // namespace panelflow
