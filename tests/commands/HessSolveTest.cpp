// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/HessSolve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "base/NumberText.h"
#include "support/LiteralGauss.h"
#include "support/PanelQuadrature.h"
#include "support/PanelTestSupport.h"
#include "support/RecordingProgress.h"
#include "support/ReferenceReport.h"
#include "support/TempDir.h"
#include "solver/Assembly.h"
#include "support/ReferenceAssembly.h"

namespace panelflow {
namespace {

using testing::Vec3;

PanelModel Sphere(int NI, int NJ) { return testing::SpherePanels(NI, NJ); }

using testing::Corner;
Vec3 Cross(const Vec3& a, const Vec3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

double Length(const Vec3& a) { return std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]); }

Vec3 Minus(const Vec3& a, const Vec3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }

// Area of panel (i, j) from its corners: half the cross product of the diagonals of a flat
// quadrilateral, or of two sides of a triangle.
double PanelArea(const PanelModel& model, int i, int j) {
    const Vec3 P1 = Corner(model, i, j, 1), P2 = Corner(model, i, j, 2), P3 = Corner(model, i, j, 3),
               P4 = Corner(model, i, j, 4);
    if (model.nCorner(i, j) == 3) return 0.5 * Length(Cross(Minus(P2, P1), Minus(P3, P1)));
    return 0.5 * Length(Cross(Minus(P3, P1), Minus(P4, P2)));
}

using testing::Fixed;

using testing::ReadFile;
using TempDir = testing::TempDir;

const FreeStream kUnitStream{1.0, 0.0, 0.0};
constexpr const char* kDiscard = "/dev/null";

// -------------------------------------------------------------------------------------------

TEST(HessSolve, SphereWithFourByFourPanelsHasTheReferenceStrengthsAndPressures) {
    const PanelModel model = Sphere(4, 4);
    SurfaceSolution solution;
    const HessOutcome outcome = HessSolve(model, kUnitStream, solution, kDiscard);
    ASSERT_TRUE(outcome.status.ok) << outcome.status.message;
    EXPECT_FALSE(outcome.zeroPivot);
    const char* sigma[] = {"1.498630", "0.466134", "-0.466134", "-1.498630"};
    const char* oneMinusCp[] = {"0.566509", "1.745069", "1.745069", "0.566509"};
    for (int i = 1; i <= 4; ++i) {
        for (int j = 1; j <= 4; ++j) {
            EXPECT_EQ(Fixed(solution.Sigma(i, j), 6), sigma[i - 1]) << i << ", " << j;
            EXPECT_EQ(Fixed(solution.OneMinusCp(i, j), 6), oneMinusCp[i - 1]) << i << ", " << j;
        }
    }
}

TEST(HessSolve, SectionsFollowTheCoefficientTablesInTheirLayout) {
    TempDir dir;
    const std::string file = dir.File("Axisym.txt");
    const PanelModel model = Sphere(4, 4);
    SurfaceSolution solution;
    ASSERT_TRUE(HessSolve(model, kUnitStream, solution, file).status.ok);

    std::string strengths = "\r\nSource strengths\r\n\r\n";
    for (const char* value : {"1.498630", "0.466134", "-0.466134", "-1.498630"}) {
        for (int j = 0; j < 4; ++j) (strengths += value) += "  ";
        strengths += "\r\n";
    }
    std::string pressures = "\r\n1-Cp\r\n\r\n";
    for (const char* value : {"0.566509", "1.745069", "1.745069", "0.566509"}) {
        for (int j = 0; j < 4; ++j) (pressures += value) += "  ";
        pressures += "\r\n";
    }
    const std::string text = ReadFile(file);
    EXPECT_EQ(text.rfind("\r\nHess method - Normal velocities\r\n", 0), 0u) << "the coefficient tables come first";
    const std::string tail = strengths + pressures;
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    const std::size_t tables = text.find("\r\nSource strengths\r\n");
    EXPECT_EQ(text.find("v Tangential velocities"), text.rfind("v Tangential velocities"));
    EXPECT_LT(text.find("v Tangential velocities"), tables);
}

struct SphereCounts {
    int NI, NJ;
};

void PrintTo(const SphereCounts& c, std::ostream* os) { *os << "NI = " << c.NI << ", NJ = " << c.NJ; }

class BodyOfRevolutionSolution : public ::testing::TestWithParam<SphereCounts> {};

TEST_P(BodyOfRevolutionSolution, StrengthAndPressureAreTheSameAroundEveryRow) {
    const PanelModel model = Sphere(GetParam().NI, GetParam().NJ);
    SurfaceSolution solution;
    ASSERT_TRUE(HessSolve(model, kUnitStream, solution, kDiscard).status.ok);
    for (int i = 1; i <= model.NI; ++i) {
        for (int j = 2; j <= model.NJ; ++j) {
            EXPECT_NEAR(solution.Sigma(i, j), solution.Sigma(i, 1), 1e-10) << i << ", " << j;
            EXPECT_NEAR(solution.OneMinusCp(i, j), solution.OneMinusCp(i, 1), 1e-10) << i << ", " << j;
        }
    }
}

TEST_P(BodyOfRevolutionSolution, ClosedBodyHasNoNetSource) {
    const PanelModel model = Sphere(GetParam().NI, GetParam().NJ);
    SurfaceSolution solution;
    ASSERT_TRUE(HessSolve(model, kUnitStream, solution, kDiscard).status.ok);
    double net = 0.0, scale = 0.0;
    for (int i = 1; i <= model.NI; ++i) {
        for (int j = 1; j <= model.NJ; ++j) {
            const double area = PanelArea(model, i, j);
            EXPECT_GT(area, 0.0);
            net += solution.Sigma(i, j) * area;
            scale += std::fabs(solution.Sigma(i, j)) * area;
        }
    }
    EXPECT_GT(scale, 0.1);
    EXPECT_NEAR(net, 0.0, 1e-10);
}

INSTANTIATE_TEST_SUITE_P(Spheres, BodyOfRevolutionSolution,
                         ::testing::Values(SphereCounts{4, 4}, SphereCounts{8, 6}, SphereCounts{6, 12}),
                         [](const ::testing::TestParamInfo<SphereCounts>& info) {
                             return "NI" + std::to_string(info.param.NI) + "NJ" + std::to_string(info.param.NJ);
                         });

TEST(HessSolve, SphereWithThirtyTwoByThirtyTwoPanelsFollowsTheExactFlow) {
    const PanelModel model = Sphere(32, 32);
    SurfaceSolution solution;
    testing::RecordingProgress progress;
    ASSERT_TRUE(HessSolve(model, kUnitStream, solution, kDiscard, &progress).status.ok);
    for (int i = 1; i <= 32; ++i) {
        for (int j = 1; j <= 32; ++j) {
            const double dx = model.xC(i, j) - 0.5, dy = model.yC(i, j), dz = model.zC(i, j);
            const double sin2 = (dy * dy + dz * dz) / (dx * dx + dy * dy + dz * dz);
            EXPECT_NEAR(solution.OneMinusCp(i, j), 2.25 * sin2, 0.009) << i << ", " << j;
        }
    }
    // Progress of a long run: the three stages in order, a few hundred reports at most each.
    EXPECT_EQ(progress.stages, (std::vector<std::string>{"influence coefficients", "coefficient tables", "elimination"}));
    for (const auto& [stage, fractions] : progress.fractions) EXPECT_LE(fractions.size(), 400u) << stage;
    EXPECT_EQ(progress.fractions["influence coefficients"].back(), 1.0);
    EXPECT_TRUE(progress.badFractions.empty());
}

// The fast steps (vector assembly on every core, blocked elimination, threaded table writer)
// differ from the straightforward ones only in the last bits, which the printed decimals never
// show: both give the same results file.
TEST(HessSolve, FastAndStraightforwardStepsWriteTheSameResultsFile) {
    HessSteps straightforward;
    straightforward.assemble = &testing::AssembleInfluenceMatricesScalar;
    straightforward.writeTables = [](const InfluenceMatrices& solution, long nRows, long nCols, ResultsAppender& out,
                                     Progress*) { testing::WriteVelocityReportLineByLine(solution, nRows, nCols, out); };
    straightforward.solve = &testing::LiteralGaussSolve;
    for (const int n : {4, 16}) {
        TempDir dir;
        const PanelModel model = Sphere(n, n);
        SurfaceSolution fast, reference;
        ASSERT_TRUE(HessSolve(model, kUnitStream, fast, dir.File("fast.txt")).status.ok);
        ASSERT_TRUE(HessSolve(model, kUnitStream, reference, dir.File("reference.txt"), nullptr, {}, straightforward).status.ok);
        const std::string text = ReadFile(dir.File("fast.txt"));
        EXPECT_GT(text.size(), 1000u);
        EXPECT_TRUE(text == ReadFile(dir.File("reference.txt"))) << n << " x " << n;
    }
}

TEST(HessSolve, SecondRunOnTheSameGeometryGivesIdenticalArraysAndSections) {
    TempDir dir;
    const std::string file = dir.File("Axisym.txt");
    const PanelModel model = Sphere(6, 5);
    SurfaceSolution first, second;
    ASSERT_TRUE(HessSolve(model, kUnitStream, first, file).status.ok);
    const std::string once = ReadFile(file);
    ASSERT_TRUE(HessSolve(model, kUnitStream, second, file).status.ok);
    EXPECT_EQ(ReadFile(file), once + once);

    const auto same2 = [](const Array2D<double>& a, const Array2D<double>& b) {
        ASSERT_EQ(a.upper1(), b.upper1());
        ASSERT_EQ(a.upper2(), b.upper2());
        for (long r = 0; r <= a.upper1(); ++r)
            for (long c = 0; c <= a.upper2(); ++c) ASSERT_EQ(a(r, c), b(r, c)) << r << ", " << c;
    };
    same2(first.Sigma, second.Sigma);
    same2(first.OneMinusCp, second.OneMinusCp);
}

TEST(HessSolve, NewRunReplacesTheArraysOfALargerPreviousGeometry) {
    SurfaceSolution solution;
    ASSERT_TRUE(HessSolve(Sphere(6, 6), kUnitStream, solution, kDiscard).status.ok);
    ASSERT_TRUE(HessSolve(Sphere(4, 4), kUnitStream, solution, kDiscard).status.ok);
    EXPECT_EQ(solution.Sigma.upper1(), 4);
    EXPECT_EQ(solution.OneMinusCp.upper2(), 4);
    EXPECT_EQ(Fixed(solution.Sigma(1, 1), 6), "1.498630");
}

// -------------------------------------------------------------------------------------------

TEST(HessSolve, ResultsFileThatCannotBeWrittenGivesAFailureNamingIt) {
    TempDir dir;
    for (const std::string& path : {std::string("/dev/full"), dir.File("missing/Axisym.txt")}) {
        SurfaceSolution solution;
        const HessOutcome outcome = HessSolve(Sphere(4, 4), kUnitStream, solution, path);
        EXPECT_FALSE(outcome.status.ok) << path;
        EXPECT_NE(outcome.status.message.find(path), std::string::npos) << outcome.status.message;
    }
}

TEST(HessSolve, ModelWithoutPanelsIsRefusedAndWritesNothing) {
    TempDir dir;
    const std::string file = dir.File("Axisym.txt");
    SurfaceSolution solution;
    const HessOutcome outcome = HessSolve(PanelModel{}, kUnitStream, solution, file);
    EXPECT_FALSE(outcome.status.ok);
    EXPECT_FALSE(std::filesystem::exists(file));
}

// Two copies of one flat panel: both rows of the system are the same, so the second pivot is
// exactly zero after the first step.
PanelModel TwoCoincidentPanels() {
    PanelModel model;
    model.NI = 1;
    model.NJ = 2;
    model.NI1 = 2;
    model.NJ1 = 3;
    model.nCorner = Array2D<int>(1, 2);
    model.xC = Array2D<double>(1, 2);
    model.yC = Array2D<double>(1, 2);
    model.zC = Array2D<double>(1, 2);
    for (auto* a : {&model.XsiX, &model.XsiY, &model.XsiZ, &model.ItaX, &model.ItaY, &model.ItaZ, &model.ZtaX,
                    &model.ZtaY, &model.ZtaZ})
        *a = Array2D<double>(1, 2);
    model.Xsi = Array3D<double>(1, 2, 4);
    model.Ita = Array3D<double>(1, 2, 4);
    const double xsi[] = {0, -1, -1, 1, 1}, ita[] = {0, -1, 1, 1, -1};
    for (int j = 1; j <= 2; ++j) {
        model.nCorner(1, j) = 4;
        model.XsiX(1, j) = 0.8;
        model.XsiZ(1, j) = -0.6;
        model.ItaY(1, j) = 1.0;
        model.ZtaX(1, j) = 0.6;
        model.ZtaZ(1, j) = 0.8;
        for (int k = 1; k <= 4; ++k) {
            model.Xsi(1, j, k) = xsi[k];
            model.Ita(1, j, k) = ita[k];
        }
    }
    return model;
}

TEST(HessSolve, ZeroPivotLeavesZeroStrengthsAndTheFreeStreamAlone) {
    TempDir dir;
    const std::string file = dir.File("Axisym.txt");
    SurfaceSolution solution;
    const HessOutcome outcome = HessSolve(TwoCoincidentPanels(), kUnitStream, solution, file);
    ASSERT_TRUE(outcome.status.ok) << outcome.status.message;
    EXPECT_TRUE(outcome.zeroPivot);
    for (int j = 1; j <= 2; ++j) {
        EXPECT_EQ(solution.Sigma(1, j), 0.0);
        // Only the free stream's tangential part, (Xsi . Vinf)^2 = 0.8^2.
        EXPECT_DOUBLE_EQ(solution.OneMinusCp(1, j), 0.64);
    }
    const std::string text = ReadFile(file);
    EXPECT_NE(text.find("\r\nSource strengths\r\n\r\n0.000000  0.000000  \r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n1-Cp\r\n\r\n0.640000  0.640000  \r\n"), std::string::npos);
}

// A stream without direction or speed, or one whose strengths would leave the range of a double,
// is refused naming the stream, before any section of the solution.
TEST(HessSolve, StreamsWithoutDirectionOrTooStrongAreRefusedNamingThem) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const FreeStream& stream : {FreeStream{nan, 0.0, 0.0}, FreeStream{0.0, 0.0, 0.0}, FreeStream{1e308, 1e308, 0.0}}) {
        TempDir dir;
        const std::string file = dir.File("Axisym.txt");
        SurfaceSolution solution;
        const HessOutcome outcome = HessSolve(Sphere(4, 4), stream, solution, file);
        EXPECT_FALSE(outcome.status.ok);
        EXPECT_EQ(outcome.status.message.rfind("The free stream \"", 0), 0u) << outcome.status.message;
        EXPECT_EQ(ReadFile(file).find("Source strengths"), std::string::npos);
        EXPECT_TRUE(solution.Sigma.empty()) << "a refused solution leaves the previous one";
    }
}

}  // namespace
}  // namespace panelflow
