// SPDX-License-Identifier: GPL-3.0-or-later
// The batch program's --no-tables and --solver.

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

const std::string kExamples = std::string(PANELFLOW_SOURCE_DIR) + "/examples/";

// Without the tables a body of revolution is solved through its symmetry, a corner body forced to
// the dense solver by it; either way the file is the dense one's less its tables, to the printed
// digit. (A corner body left to the choice goes to the hierarchical solver, whose last digits
// differ within its accuracy.)
TEST(SolverOptions, NoTablesLeavesExactlyTheThreeTablesOut) {
    for (const std::string& steps : std::vector<std::string>{"--ni 6 --nj 5 sphere hess", "--ni 7 --nj 8 --stream 0.3,1,0.5 sphere hess",
          "--nj 9 --stream 1,2,3 profile " + kExamples + "prolate-4to1.BodyFoil hess",
          "--solver dense corners " + kExamples + "octahedron.Coords hess", "--solver dense --ni 6 --nj 5 sphere hess"}) {
        TempDir with, without;
        ASSERT_EQ(RunBatch(with, steps).status, 0);
        const auto run = RunBatch(without, "--no-tables " + steps);
        ASSERT_EQ(run.status, 0) << run.errors;
        EXPECT_EQ(ReadFile(without.File("Axisym.txt")), WithoutTables(ReadFile(with.File("Axisym.txt")))) << steps;
    }
}

TEST(SolverOptions, TheSymmetricSolverIsRefusedForACornerBodyAndWithTheTables) {
    for (const std::string& steps : std::vector<std::string>{
             "--no-tables --solver symmetric corners " + kExamples + "octahedron.Coords", "--solver symmetric sphere"}) {
        TempDir geometryOnly, dir;
        ASSERT_EQ(RunBatch(geometryOnly, steps).status, 0);
        const auto run = RunBatch(dir, steps + " hess");
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.errors.rfind("panelflow-batch: The symmetric solver ", 0), 0u) << run.errors;
        EXPECT_EQ(ReadFile(dir.File("Axisym.txt")), ReadFile(geometryOnly.File("Axisym.txt"))) << steps;
    }
}

TEST(SolverOptions, AnUnknownSolverIsAUsageErrorNamingTheSolvers) {
    TempDir dir;
    for (const char* arguments : {"--solver spectral sphere hess", "sphere hess --solver"}) {
        const auto run = RunBatch(dir, arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_NE(run.errors.find("dense"), std::string::npos) << run.errors;
        EXPECT_NE(run.errors.find("symmetric"), std::string::npos) << run.errors;
        EXPECT_NE(run.errors.find("hierarchical"), std::string::npos) << run.errors;
    }
    EXPECT_EQ(ReadFile(dir.File("Axisym.txt")), "");
}

}  // namespace
}  // namespace panelflow
