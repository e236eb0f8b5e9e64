#include "solver/VelocityReport.h"

#include <gtest/gtest.h>

#include <string>

#include "support/TempDir.h"

namespace panelflow {
namespace {

using testing::ReadFile;
using testing::TempDir;

// A two-panel system: the normal table carries the right-hand side as its third column.
Solution TwoPanelSolution() {
    Solution s;
    s.N = 2;
    s.vNorm = Array2D<double>(2, 3);
    s.uTan = Array2D<double>(2, 3);
    s.vTan = Array2D<double>(2, 3);
    s.vNorm(1, 1) = 0.5;      s.vNorm(1, 2) = 0.03125;   s.vNorm(1, 3) = -0.86293;
    s.vNorm(2, 1) = -0.03125; s.vNorm(2, 2) = 0.49999996; s.vNorm(2, 3) = 12.345678;
    s.uTan(1, 1) = -1e-17;    s.uTan(1, 2) = -0.25;
    s.uTan(2, 1) = 0.0;       s.uTan(2, 2) = 1234.5;
    s.vTan(1, 1) = 0.00004;   s.vTan(1, 2) = -0.00005;
    s.vTan(2, 1) = 0.00005;   s.vTan(2, 2) = -3.0;
    s.uTan(1, 3) = 99.0;  // column N + 1 of the tangential matrices is never written
    return s;
}

// The report of TwoPanelSolution, written out by hand.
const std::string kTwoPanelReport =
    "\r\n"
    "Hess method - Normal velocities\r\n"
    "\r\n"
    " 0.5000 0.0313 -0.8629\r\n"
    " -0.0313 0.5000 12.3457\r\n"
    "\r\n"
    "u Tangential velocities\r\n"
    "\r\n"
    " 0.0000 -0.2500\r\n"
    " 0.0000 1234.5000\r\n"
    "\r\n"
    "v Tangential velocities\r\n"
    "\r\n"
    " 0.0000 -0.0001\r\n"
    " 0.0001 -3.0000\r\n";

void WriteReport(const Solution& s, const std::string& path) {
    ResultsAppender out(path);
    WriteVelocityReport(s, 2, 3, out);
    ASSERT_TRUE(out.Close().ok);
}

TEST(VelocityReport, ThreeTablesAreWrittenWithTitlesBlanksAndMasks) {
    TempDir dir;
    WriteReport(TwoPanelSolution(), dir.File("Axisym.txt"));
    EXPECT_EQ(ReadFile(dir.File("Axisym.txt")), kTwoPanelReport);
}

TEST(VelocityReport, TablesAreAppendedBehindExistingText) {
    TempDir dir;
    testing::WriteFile(dir.File("Axisym.txt"), "before\r\n");
    WriteReport(TwoPanelSolution(), dir.File("Axisym.txt"));
    EXPECT_EQ(ReadFile(dir.File("Axisym.txt")), "before\r\n" + kTwoPanelReport);
}

}  // namespace
}  // namespace panelflow
