// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/VelocityReport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "support/ReferenceReport.h"
#include "support/RecordingProgress.h"
#include "support/TempDir.h"

namespace panelflow {
namespace {

using testing::ReadFile;
using testing::TempDir;

// A two-panel system: the normal table carries the right-hand side as its third column.
InfluenceMatrices TwoPanelInfluenceMatrices() {
    InfluenceMatrices s;
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

// The report of TwoPanelInfluenceMatrices, written out by hand.
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

void WriteReport(const InfluenceMatrices& s, const std::string& path) {
    ResultsAppender out(path);
    WriteVelocityReport(s, 2, 3, out);
    ASSERT_TRUE(out.Close().ok);
}

TEST(VelocityReport, ThreeTablesAreWrittenWithTitlesBlanksAndMasks) {
    TempDir dir;
    WriteReport(TwoPanelInfluenceMatrices(), dir.File("Axisym.txt"));
    EXPECT_EQ(ReadFile(dir.File("Axisym.txt")), kTwoPanelReport);
}

TEST(VelocityReport, TablesAreAppendedBehindExistingText) {
    TempDir dir;
    testing::WriteFile(dir.File("Axisym.txt"), "before\r\n");
    WriteReport(TwoPanelInfluenceMatrices(), dir.File("Axisym.txt"));
    EXPECT_EQ(ReadFile(dir.File("Axisym.txt")), "before\r\n" + kTwoPanelReport);
}

// Coefficients of every kind the tables may hold: ordinary ones, exact ties at four decimals,
// their neighbours, negative values that round to zero, and large magnitudes.
InfluenceMatrices RandomInfluenceMatrices(long N, unsigned seed) {
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    std::uniform_int_distribution<int> kind(0, 5);
    auto value = [&]() {
        const double x = uniform(random);
        switch (kind(random)) {
            case 0: return std::round(x * 32000.0) / 32.0 + 1.0 / 64.0;  // exact tie
            case 1: return std::nextafter(std::round(x * 32000.0) / 32.0 + 1.0 / 64.0, x);
            case 2: return x * 4.9e-5;                                    // rounds to (minus) zero
            case 3: return x * std::pow(10.0, 6.0 + 14.0 * std::fabs(uniform(random)));
            default: return x;
        }
    };
    InfluenceMatrices s;
    s.N = N;
    for (Array2D<double>* matrix : {&s.vNorm, &s.uTan, &s.vTan}) {
        *matrix = Array2D<double>(N, N + 1);
        for (long m = 1; m <= N; ++m)
            for (long n = 1; n <= N + 1; ++n) (*matrix)(m, n) = value();
    }
    return s;
}

class ReportSizes : public ::testing::TestWithParam<long> {};

// Sizes with one piece per table and with more pieces than the writer has buffers.
TEST_P(ReportSizes, FastWriterMatchesTheLineByLineWriterByteForByte) {
    const long N = GetParam();
    const InfluenceMatrices s = RandomInfluenceMatrices(N, static_cast<unsigned>(N));
    TempDir dir;
    {
        ResultsAppender out(dir.File("fast.txt"));
        WriteVelocityReport(s, N, N + 1, out);
        ASSERT_TRUE(out.Close().ok);
    }
    {
        ResultsAppender out(dir.File("reference.txt"));
        testing::WriteVelocityReportLineByLine(s, N, N + 1, out);
        ASSERT_TRUE(out.Close().ok);
    }
    const std::string fast = ReadFile(dir.File("fast.txt"));
    const std::string reference = ReadFile(dir.File("reference.txt"));
    ASSERT_EQ(fast.size(), reference.size());
    EXPECT_TRUE(fast == reference) << "first difference at byte "
                                   << std::mismatch(fast.begin(), fast.end(), reference.begin()).first - fast.begin();
}

INSTANTIATE_TEST_SUITE_P(Sizes, ReportSizes, ::testing::Values(1L, 17L, 300L, 1100L));

TEST(VelocityReport, ProgressRisesToCompletion) {
    const InfluenceMatrices s = RandomInfluenceMatrices(600, 3);
    TempDir dir;
    testing::RecordingProgress progress;
    ResultsAppender out(dir.File("Axisym.txt"));
    WriteVelocityReport(s, 600, 601, out, &progress);
    ASSERT_TRUE(out.Close().ok);
    EXPECT_EQ(progress.stages, std::vector<std::string>{"coefficient tables"});
    ASSERT_FALSE(progress.fractions["coefficient tables"].empty());
    EXPECT_TRUE(progress.badFractions.empty());
    EXPECT_EQ(progress.fractions["coefficient tables"].back(), 1.0);
}

TEST(VelocityReport, FullDiskStopsTheWriterAndIsReported) {
    const InfluenceMatrices s = RandomInfluenceMatrices(1100, 4);
    ResultsAppender out("/dev/full");
    WriteVelocityReport(s, 1100, 1101, out);  // must return, not wait for buffers nobody frees
    const Status status = out.Close();
    EXPECT_FALSE(status.ok);
    EXPECT_NE(status.message.find("/dev/full"), std::string::npos);
}

}  // namespace
}  // namespace panelflow
