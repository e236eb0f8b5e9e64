// SPDX-License-Identifier: GPL-3.0-or-later
#include "solver/Assembly.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "geometry/BodyOfRevolution.h"
#include "geometry/PanelGeometry.h"
#include "solver/SourcePanels.h"
#include "support/NearPlanePoints.h"
#include "support/ReferenceAssembly.h"

namespace panelflow {
namespace {

using Point = std::array<double, 3>;

// A model of NJ loose panels in one row, filled by hand: only what the assembly reads (control
// points, axes, corner counts and corners in panel axes) is set.
class LoosePanels {
public:
    explicit LoosePanels(int count) {
        model.NI = 1, model.NJ = count, model.NI1 = 2, model.NJ1 = count + 1;
        model.nCorner = Array2D<int>(1, count);
        for (Array2D<double>* a : {&model.xC, &model.yC, &model.zC, &model.XsiX, &model.XsiY, &model.XsiZ,
                                   &model.ItaX, &model.ItaY, &model.ItaZ, &model.ZtaX, &model.ZtaY, &model.ZtaZ})
            *a = Array2D<double>(1, count);
        model.Xsi = Array3D<double>(1, count, 4);
        model.Ita = Array3D<double>(1, count, 4);
    }

    // Panel j: control point c, axes Xsi and Zta (Ita = Zta x Xsi), corners (xsi, eta) clockwise
    // seen from +Zta.
    void Set(int j, const Point& c, const Point& Xsi, const Point& Zta, const std::vector<std::array<double, 2>>& corners) {
        const Point Ita{Zta[1] * Xsi[2] - Zta[2] * Xsi[1], Zta[2] * Xsi[0] - Zta[0] * Xsi[2],
                        Zta[0] * Xsi[1] - Zta[1] * Xsi[0]};
        model.xC(1, j) = c[0], model.yC(1, j) = c[1], model.zC(1, j) = c[2];
        model.XsiX(1, j) = Xsi[0], model.XsiY(1, j) = Xsi[1], model.XsiZ(1, j) = Xsi[2];
        model.ItaX(1, j) = Ita[0], model.ItaY(1, j) = Ita[1], model.ItaZ(1, j) = Ita[2];
        model.ZtaX(1, j) = Zta[0], model.ZtaY(1, j) = Zta[1], model.ZtaZ(1, j) = Zta[2];
        model.nCorner(1, j) = static_cast<int>(corners.size());
        for (int k = 1; k <= static_cast<int>(corners.size()); ++k) {
            model.Xsi(1, j, k) = corners[k - 1][0];
            model.Ita(1, j, k) = corners[k - 1][1];
        }
    }

    PanelModel model;
};

// Panel 1 is the square (-1..1)^2 in the plane z = 0 with the global axes; the next panels'
// control points stand where the square's velocity is a limit or special: in its plane inside
// and outside it and on a side's line, exactly above a side, above a side's extension and above
// a corner, and close to these places. The rest are random panels in random orientations.
PanelModel SpecialAndRandomPanels(unsigned seed) {
    const std::vector<Point> special = {
        {0.3, 0.2, 0.0},  {3.0, 0.0, 0.0},   {2.0, 1.0, 0.0},  {-1.0, 0.0, 0.5},   {-1.0, 3.0, 0.5},
        {-1.0, 1.0, 0.4}, {-1.0, 1.0, -0.4}, {1.0, -0.5, -2.0}, {0.3, 0.2, 0.5},   {0.3, 0.2, -0.5},
        {3.0, 0.0, 1.0},  {0.0, 0.0, 1e-9},  {5.0, 5.0, 1e-12}, {1.0 + 1e-9, 0.0, 0.2}, {0.0, 0.0, 0.0}};
    constexpr int kRandom = 40;
    LoosePanels panels(1 + static_cast<int>(special.size()) + kRandom);

    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    auto unit = [&](const Point& orthogonalTo) {
        for (;;) {
            Point p{uniform(random), uniform(random), uniform(random)};
            const double along = p[0] * orthogonalTo[0] + p[1] * orthogonalTo[1] + p[2] * orthogonalTo[2];
            for (int c = 0; c < 3; ++c) p[c] -= along * orthogonalTo[c];
            const double length = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
            if (length > 0.1) return Point{p[0] / length, p[1] / length, p[2] / length};
        }
    };
    auto polygon = [&]() {
        const int n = uniform(random) < 0 ? 3 : 4;
        const double start = 3.0 * uniform(random);
        std::vector<std::array<double, 2>> corners;
        for (int k = 0; k < n; ++k) {  // decreasing angles: clockwise
            const double angle = start - 2.0 * Pi * (k + 0.3 * uniform(random) * 0.5) / n;
            const double radius = 0.8 + 0.4 * uniform(random);
            corners.push_back({radius * std::cos(angle), radius * std::sin(angle)});
        }
        return corners;
    };

    panels.Set(1, {0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {{-1, -1}, {-1, 1}, {1, 1}, {1, -1}});
    int j = 2;
    for (const Point& c : special) {
        const Point Zta = unit({0, 0, 0});
        panels.Set(j++, c, unit(Zta), Zta, polygon());
    }
    for (int r = 0; r < kRandom; ++r) {
        const Point Zta = unit({0, 0, 0});
        panels.Set(j++, {3 * uniform(random), 3 * uniform(random), 3 * uniform(random)}, unit(Zta), Zta, polygon());
    }
    return panels.model;
}

PanelModel Sphere(int NI, int NJ) {
    PanelModel model;
    model.NI = NI, model.NJ = NJ, model.NI1 = NI + 1, model.NJ1 = NJ + 1;
    BodyProfile profile;
    SphereProfile(NI, profile);
    BuildBodyOfRevolution(profile, model);
    EXPECT_TRUE(BuildPanels(model).ok);
    return model;
}

void ExpectSameMatrices(const InfluenceMatrices& vector, const InfluenceMatrices& scalar) {
    ASSERT_EQ(vector.N, scalar.N);
    const long N = scalar.N;
    for (const auto& [a, b, name] : {std::tuple{&vector.vNorm, &scalar.vNorm, "vNorm"},
                                     std::tuple{&vector.uTan, &scalar.uTan, "uTan"},
                                     std::tuple{&vector.vTan, &scalar.vTan, "vTan"}}) {
        ASSERT_EQ(a->upper1(), N);
        ASSERT_EQ(a->upper2(), N + 1);
        for (long m = 0; m <= N; ++m)
            for (long n = 0; n <= N + 1; ++n)
                ASSERT_NEAR((*a)(m, n), (*b)(m, n), 1e-13) << name << "(" << m << ", " << n << ")";
    }
    ASSERT_EQ(vector.potential.empty(), scalar.potential.empty());
    for (long m = 1; m <= N && !scalar.potential.empty(); ++m)
        for (long n = 1; n <= N; ++n)
            ASSERT_NEAR(vector.potential(m, n), scalar.potential(m, n), 1e-13) << "potential(" << m << ", " << n << ")";
}

struct Setting {
    VectorInstructions instructions;
    unsigned threads;
};

std::string SettingName(const ::testing::TestParamInfo<Setting>& info) {
    const char* names[] = {"Best", "Sse2", "Avx2", "Avx512"};
    return std::string(names[static_cast<int>(info.param.instructions)]) + "Threads" +
           std::to_string(info.param.threads);
}

class VectorAssembly : public ::testing::TestWithParam<Setting> {};

TEST_P(VectorAssembly, MatchesTheScalarAssemblyAtSpecialAndRandomPoints) {
    const auto [instructions, threads] = GetParam();
    if (!ProcessorSupports(instructions)) GTEST_SKIP() << "this processor lacks the instruction set";
    const PanelModel model = SpecialAndRandomPanels(11);
    const FreeStream vinf{0.6, -0.8, 0.25};
    for (const bool potentials : {false, true}) {
        InfluenceMatrices vector, scalar;
        AssembleInfluenceMatricesVector(model, vinf, vector, nullptr, instructions, threads, 1, potentials);
        testing::AssembleInfluenceMatricesScalar(model, vinf, scalar, nullptr, potentials);
        ExpectSameMatrices(vector, scalar);
    }
}

TEST_P(VectorAssembly, MatchesTheScalarAssemblyOnASphere) {
    const auto [instructions, threads] = GetParam();
    if (!ProcessorSupports(instructions)) GTEST_SKIP() << "this processor lacks the instruction set";
    const PanelModel model = Sphere(16, 13);
    const FreeStream vinf{1.0, 0.0, 0.0};
    InfluenceMatrices vector, scalar;
    AssembleInfluenceMatricesVector(model, vinf, vector, nullptr, instructions, threads, 1, true);
    testing::AssembleInfluenceMatricesScalar(model, vinf, scalar, nullptr, true);
    ExpectSameMatrices(vector, scalar);
}

// Each random panel of the shared cases in its own axes with its points as the control points of
// panels in the same axes, so that the assembly's column of that panel is its (u, v, w) and its
// potential at them (the potential's error taken relative to the panel's size).
TEST_P(VectorAssembly, AHairsBreadthOffThePlaneAgreesWithQuadruplePrecision) {
    const auto [instructions, threads] = GetParam();
    if (!ProcessorSupports(instructions)) GTEST_SKIP() << "this processor lacks the instruction set";
    const std::vector<testing::NearPlaneCase>& cases = testing::SharedNearPlaneCases();
    double largest = 0.0, largestPotential = 0.0;
    const testing::NearPlaneCase* worst = nullptr;
    for (std::size_t first = 0, last = 0; first < cases.size(); first = last) {
        while (last < cases.size() && cases[last].xsi == cases[first].xsi && cases[last].ita == cases[first].ita) ++last;
        const testing::NearPlaneCase& panel = cases[first];
        LoosePanels panels(static_cast<int>(last - first) + 1);
        std::vector<std::array<double, 2>> corners;
        for (int k = 1; k <= panel.n; ++k) corners.push_back({panel.xsi[k], panel.ita[k]});
        panels.Set(1, {0, 0, 0}, {1, 0, 0}, {0, 0, 1}, corners);
        for (std::size_t c = first; c < last; ++c)
            panels.Set(static_cast<int>(c - first) + 2, {cases[c].x, cases[c].y, cases[c].z}, {1, 0, 0}, {0, 0, 1},
                       {{-1e-3, -1e-3}, {0.0, 1e-3}, {1e-3, -1e-3}});
        InfluenceMatrices matrices;
        AssembleInfluenceMatricesVector(panels.model, FreeStream{1.0, 0.0, 0.0}, matrices, nullptr, instructions, threads,
                                        1, true);
        double size = 0.0;
        for (int k = 1; k <= panel.n; ++k) size = std::max({size, std::fabs(panel.xsi[k]), std::fabs(panel.ita[k])});
        for (std::size_t c = first; c < last; ++c) {
            const long m = static_cast<long>(c - first) + 2;
            const double potentialError = std::fabs(matrices.potential(m, 1) - cases[c].phi) / size;
            largestPotential = std::isfinite(potentialError) ? std::max(largestPotential, potentialError) : HUGE_VAL;
            double error = std::max({std::fabs(matrices.uTan(m, 1) - cases[c].u), std::fabs(matrices.vTan(m, 1) - cases[c].v),
                                     std::fabs(matrices.vNorm(m, 1) - cases[c].w)});
            if (!std::isfinite(matrices.uTan(m, 1) + matrices.vTan(m, 1) + matrices.vNorm(m, 1))) error = HUGE_VAL;
            if (error > largest) largest = error, worst = &cases[c];
        }
    }
    std::printf("largest error of u, v, w: %.3g, of the potential over the panel's size: %.3g\n", largest,
                largestPotential);
    ASSERT_TRUE(worst == nullptr || largest < 1e-12)
        << "largest error " << largest << " at (" << worst->x << ", " << worst->y << ", " << worst->z << ")";
    EXPECT_LT(largestPotential, 1e-14);
}

INSTANTIATE_TEST_SUITE_P(
    InstructionSets, VectorAssembly,
    ::testing::Values(Setting{VectorInstructions::Sse2, 1}, Setting{VectorInstructions::Avx2, 1},
                      Setting{VectorInstructions::Avx512, 1}, Setting{VectorInstructions::Best, 2},
                      Setting{VectorInstructions::Best, 5}),
    SettingName);

// The column kernel (one source panel at many control points, for the hierarchical solver's
// blocks) must give every entry as the row kernel does (to the last bits of the vector
// logarithm, whose path depends on the other lanes), in any order of the panels.
TEST(VectorAssembly, ColumnsEqualRowsInAnyPanelOrder) {
    const PanelModel model = SpecialAndRandomPanels(5);
    const long N = static_cast<long>(model.PanelCount());
    std::vector<long> order(N);
    std::iota(order.begin(), order.end(), 0L);
    std::shuffle(order.begin(), order.end(), std::mt19937_64(3));
    for (const VectorInstructions instructions :
         {VectorInstructions::Sse2, VectorInstructions::Avx2, VectorInstructions::Avx512}) {
        if (!ProcessorSupports(instructions)) continue;
        const SourcePanels panels(model, order, instructions);
        std::vector<double> row(3), column(3 * N);
        for (long n = 0; n < N; ++n) {
            const long first = n % 5;  // columns that start off the vectors' alignment too
            panels.Column(n, first, N, column.data(), column.data() + N, column.data() + 2 * N);
            for (long m = first; m < N; ++m) {
                const int i = static_cast<int>(order[m] / model.NJ) + 1, j = static_cast<int>(order[m] % model.NJ) + 1;
                panels.Row(FieldPanelOf(model, i, j), n, n + 1, &row[0], &row[1], &row[2]);
                for (int c = 0; c < 3; ++c)
                    ASSERT_NEAR(row[c], column[c * N + m - first], 1e-15)
                        << VectorInstructionsName(instructions) << ", matrix " << c << ", row " << m << ", column " << n;
            }
        }
    }
}

TEST(VectorAssembly, SinglePanelSeesItsOwnHalf) {
    LoosePanels panels(1);
    panels.Set(1, {0.5, -2.0, 1.0}, {0, 1, 0}, {1, 0, 0}, {{-1, -1}, {-1, 1}, {1, 1}, {1, -1}});
    InfluenceMatrices solution;
    AssembleInfluenceMatricesVector(panels.model, FreeStream{1.0, 0.0, 0.0}, solution);
    EXPECT_EQ(solution.vNorm(1, 1), 0.5);
    EXPECT_EQ(solution.vNorm(1, 2), -1.0);
    EXPECT_NEAR(solution.uTan(1, 1), 0.0, 1e-15);
    EXPECT_NEAR(solution.vTan(1, 1), 0.0, 1e-15);
}

}  // namespace
}  // namespace panelflow
