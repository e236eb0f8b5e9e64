// The batch program's --no-tables and --solver.

#include <gtest/gtest.h>

#include <string>

#include "support/BatchRunner.h"
#include "support/TempDir.h"

namespace panelflow {
namespace {

using testing::ReadFile;
using testing::RunBatch;
using testing::TempDir;

// The results file less the three coefficient tables, which run from their first title to the
// section after the last.
std::string WithoutTables(const std::string& text) {
    const std::size_t begin = text.find("\r\nHess method - Normal velocities\r\n");
    const std::size_t end = text.find("\r\nSource strengths\r\n");
    if (begin == std::string::npos || end == std::string::npos) return "no tables in the file";
    return text.substr(0, begin) + text.substr(end);
}

TEST(SolverOptions, NoTablesLeavesExactlyTheThreeTablesOut) {
    for (const std::string& steps : {std::string("--ni 6 --nj 5 sphere hess"), "corners " + std::string(PANELFLOW_SOURCE_DIR) +
                                                                      "/examples/octahedron.Coords hess"}) {
        TempDir with, without;
        ASSERT_EQ(RunBatch(with, "--solver dense " + steps).status, 0);
        const auto run = RunBatch(without, "--no-tables --solver dense " + steps);
        ASSERT_EQ(run.status, 0) << run.errors;
        EXPECT_EQ(ReadFile(without.File("Axisym.txt")), WithoutTables(ReadFile(with.File("Axisym.txt")))) << steps;
    }
}

TEST(SolverOptions, AnUnknownSolverIsAUsageErrorNamingTheSolvers) {
    TempDir dir;
    for (const char* arguments : {"--solver spectral sphere hess", "sphere hess --solver"}) {
        const auto run = RunBatch(dir, arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_NE(run.errors.find("dense"), std::string::npos) << run.errors;
    }
    EXPECT_EQ(ReadFile(dir.File("Axisym.txt")), "");
}

}  // namespace
}  // namespace panelflow
