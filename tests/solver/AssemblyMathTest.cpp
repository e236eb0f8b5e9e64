// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "base/ProcessorFeatures.h"
#include "solver/AssemblyKernel.h"

namespace panelflow {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kTiny = std::numeric_limits<double>::denorm_min();
constexpr double kUlpsAllowed = 2.5;

struct MathSet {
    VectorInstructions instructions;
    assembly::QuotientMath function;
    assembly::SideLogarithm sideLogarithm;
    const char* name;
};

double Ulp(double x) {
    x = std::fabs(x);
    return std::nextafter(x, kInf) - x;
}

// A number with a random sign, significand and binary exponent in [low, high]: covers the whole
// range evenly in magnitude, subnormal numbers included.
class RandomNumbers {
public:
    explicit RandomNumbers(unsigned seed) : random_(seed) {}
    double Next(int low, int high, bool negativeToo) {
        const double significand = std::uniform_real_distribution<double>(1.0, 2.0)(random_);
        const int exponent = std::uniform_int_distribution<int>(low, high)(random_);
        const double x = std::ldexp(significand, exponent);
        return negativeToo && (random_() & 1) ? -x : x;
    }
    double Fraction() { return std::uniform_real_distribution<double>(0.0, 1.0)(random_); }

private:
    std::mt19937_64 random_;
};

// Arguments and results of one call, padded to whole groups of the widest vector.
struct Cases {
    std::vector<double> p, q, y, x, log, atan;
    void Add(double pn, double qn, double yn, double xn) {
        p.push_back(pn), q.push_back(qn), y.push_back(yn), x.push_back(xn);
    }
    void Run(assembly::QuotientMath function) {
        while (p.size() % 32 != 0) Add(1.0, 1.0, 1.0, 1.0);
        log.assign(p.size(), 0.0);
        atan.assign(p.size(), 0.0);
        function(p.data(), q.data(), y.data(), x.data(), log.data(), atan.data(), static_cast<long>(p.size()));
    }
};

// The reference is the function of the rounded quotient; besides a few ulps of the result, the
// difference may include what the rounding of the quotient (half an ulp, relative) moves it by:
// up to 2^-53 for the logarithm and 2^-53 |T| / (1 + T^2) for the arctangent of T.
void ExpectClose(double actual, double expected, double quotientEffect, const std::string& what) {
    if (std::isnan(expected)) {
        EXPECT_TRUE(std::isnan(actual)) << what << " gives " << actual;
        return;
    }
    EXPECT_EQ(std::signbit(actual), std::signbit(expected)) << what << ": " << actual << " vs " << expected;
    EXPECT_EQ(actual == 0.0, expected == 0.0) << what << ": " << actual << " vs " << expected;
    if (std::isinf(expected)) {
        EXPECT_EQ(actual, expected) << what;
        return;
    }
    EXPECT_LE(std::fabs(actual - expected), kUlpsAllowed * Ulp(expected) + quotientEffect)
        << what << ": " << actual << " vs " << expected << ", " << std::fabs(actual - expected) / Ulp(expected)
        << " ulps";
}

void ExpectMatchesTheLibrary(const Cases& cases) {
    for (std::size_t n = 0; n < cases.p.size(); ++n) {
        const double ratio = cases.p[n] / cases.q[n];
        const bool exactRatio = cases.q[n] == 1.0;
        ExpectClose(cases.log[n], std::log(ratio), exactRatio ? 0.0 : 0x1p-53,
                    "log(" + std::to_string(cases.p[n]) + " / " + std::to_string(cases.q[n]) + ")");
        const double T = cases.y[n] / cases.x[n];
        const bool exactT = cases.x[n] == 1.0;
        ExpectClose(cases.atan[n], std::atan(T), exactT || std::isinf(T) ? 0.0 : 0x1p-53 * std::fabs(T) / (1.0 + T * T),
                    "atan(" + std::to_string(cases.y[n]) + " / " + std::to_string(cases.x[n]) + ")");
    }
}

class QuotientMathTest : public ::testing::TestWithParam<MathSet> {
protected:
    void SetUp() override {
        if (!ProcessorSupports(GetParam().instructions)) GTEST_SKIP() << "this processor lacks the instruction set";
    }
};

TEST_P(QuotientMathTest, PlainFunctionsMatchTheLibraryOverTheWholeRange) {
    RandomNumbers random(3);
    Cases cases;
    for (int n = 0; n < 20000; ++n) cases.Add(random.Next(-1074, 1023, false), 1.0, random.Next(-1074, 1023, true), 1.0);
    for (int n = 0; n < 20000; ++n) cases.Add(random.Next(-3, 3, false), 1.0, random.Next(-3, 3, true), 1.0);
    cases.Run(GetParam().function);
    ExpectMatchesTheLibrary(cases);
}

TEST_P(QuotientMathTest, QuotientsMatchTheFunctionsOfTheRoundedQuotients) {
    RandomNumbers random(5);
    Cases cases;
    for (int n = 0; n < 20000; ++n)
        cases.Add(random.Next(-1074, 1023, false), random.Next(-1074, 1023, false), random.Next(-1074, 1023, true),
                  random.Next(-1074, 1023, true));
    // Quotients near 1, where the logarithm is small and the arctangent switches its reduction.
    for (int n = 0; n < 20000; ++n) {
        const double q = random.Next(-60, 60, false), x = random.Next(-60, 60, true);
        cases.Add(q * (1.0 + random.Next(-60, 1, true)), q, x * random.Next(-4, 2, true), x);
    }
    cases.Run(GetParam().function);
    ExpectMatchesTheLibrary(cases);
}

TEST_P(QuotientMathTest, SpecialValuesSignsAndZerosAreThoseOfTheRoundedQuotient) {
    Cases cases;
    const double values[] = {0.0, -0.0, 1.0, -1.0, 2.5, kTiny, -kTiny, 0x1p-1022, 1e-300, 1e300,
                             std::numeric_limits<double>::max(), kInf, -kInf, kNaN};
    for (double a : values)
        for (double b : values) cases.Add(a, b, a, b);
    // Quotients that round to zero or to the smallest subnormal number, of either sign.
    cases.Add(kTiny, 2.0, -kTiny, 2.0);
    cases.Add(kTiny, 1.5, -kTiny, 1.5);
    cases.Add(1.0, 0x1p1000, -kTiny, 0x1p1000);
    cases.Add(3 * kTiny, 4.0, 3 * kTiny, -4.0);
    cases.Run(GetParam().function);
    ExpectMatchesTheLibrary(cases);
}

// Side logarithms log((S + d) / (S - d)), computed in whole groups of 32.
std::vector<double> SideLogarithms(assembly::SideLogarithm function, std::vector<double>& S, std::vector<double>& d) {
    while (S.size() % 32 != 0) S.push_back(1.0), d.push_back(0.5);
    std::vector<double> logarithm(S.size(), 0.0);
    function(S.data(), d.data(), logarithm.data(), static_cast<long>(S.size()));
    return logarithm;
}

TEST_P(QuotientMathTest, SideLogarithmsAreAccurateNearAndFarFromTheSide) {
    RandomNumbers random(7);
    std::vector<double> S, d;
    // Far sides first, whole vectors of them (d / S below 0.1713), then sides at any distance,
    // down to points on the side (d = S).
    constexpr std::size_t kFarSides = 20000;
    for (std::size_t n = 0; n < kFarSides; ++n) {
        S.push_back(random.Next(-1000, 990, false));
        d.push_back(S.back() * random.Next(-60, -4, false) * 1.37);
    }
    for (int n = 0; n < 20000; ++n) {
        S.push_back(random.Next(-1000, 1000, false));
        d.push_back(n % 97 == 0 ? S.back() : S.back() * random.Fraction());
    }
    const std::vector<double> logarithm = SideLogarithms(GetParam().sideLogarithm, S, d);
    for (std::size_t n = 0; n < S.size(); ++n) {
        const std::string what = "side logarithm of S " + std::to_string(S[n]) + ", d " + std::to_string(d[n]);
        if (d[n] == S[n]) {
            EXPECT_EQ(logarithm[n], kInf) << what;
            continue;
        }
        // Against 2 atanh(d / S) in extended precision: a few ulps of the result, and where a vector
        // holds a near side, so that its logarithms are taken of the rounded S + d and S - d, what
        // their rounding moves them by (2^-53 relative each).
        const long double exact = 2.0L * std::atanh(static_cast<long double>(d[n]) / S[n]);
        const double allowed = kUlpsAllowed * Ulp(static_cast<double>(exact)) + (n < kFarSides ? 0.0 : 0x1p-52);
        EXPECT_LE(std::fabs(logarithm[n] - exact), allowed) << what << ": " << logarithm[n];
    }
}

// Where the logarithm of the rounded quotient is infinite, not a number or, for d = 0, zero, the
// side logarithm is the same; elsewhere it is as accurate as in the test above, also where the
// rounded quotient is 1.
TEST_P(QuotientMathTest, SideLogarithmsOfSpecialValuesAreThoseOfTheRoundedQuotient) {
    std::vector<double> S, d;
    const double values[] = {0.0, kTiny, 0x1p-1022, 1e-300, 1.0, 2.5, 1e300, std::numeric_limits<double>::max(),
                             kInf, kNaN};
    for (double sum : values)
        for (double length : values)
            if (!(length > sum)) S.push_back(sum), d.push_back(length);  // sides seen from a point: S >= d
    const std::vector<double> logarithm = SideLogarithms(GetParam().sideLogarithm, S, d);
    for (std::size_t n = 0; n < S.size(); ++n) {
        const std::string what = "side logarithm of S " + std::to_string(S[n]) + ", d " + std::to_string(d[n]);
        const double library = std::log((S[n] + d[n]) / (S[n] - d[n]));
        if (std::isnan(library) || std::isinf(library) || d[n] == 0.0) {
            ExpectClose(logarithm[n], library, 0.0, what);
        } else {
            const long double exact = 2.0L * std::atanh(static_cast<long double>(d[n]) / S[n]);
            EXPECT_LE(std::fabs(logarithm[n] - exact), kUlpsAllowed * Ulp(static_cast<double>(exact)) + 0x1p-52)
                << what << ": " << logarithm[n];
        }
    }
}

INSTANTIATE_TEST_SUITE_P(InstructionSets, QuotientMathTest,
                         ::testing::Values(MathSet{VectorInstructions::Sse2, &assembly::QuotientMathSse2, &assembly::SideLogarithmSse2,
                                                   "Sse2"},
                                           MathSet{VectorInstructions::Avx2, &assembly::QuotientMathAvx2, &assembly::SideLogarithmAvx2,
                                                   "Avx2"},
                                           MathSet{VectorInstructions::Avx512, &assembly::QuotientMathAvx512,
                                                   &assembly::SideLogarithmAvx512,
                                                   "Avx512"}),
                         [](const ::testing::TestParamInfo<MathSet>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace panelflow
