// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

namespace panelflow {
namespace {

// Slow, independent reference: the exact decimal expansion of |value| (a double is M * 2^E, and
// for E < 0 that equals M * 5^-E / 10^-E), rounded by hand to `decimals` decimals, halves away
// from zero.
std::string ExactFixed(double value, int decimals) {
    int exponent = 0;
    const double fraction = std::frexp(std::fabs(value), &exponent);
    auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    exponent -= 53;

    std::string digits;  // most significant first
    for (; mantissa > 0; mantissa /= 10) digits.insert(digits.begin(), static_cast<char>('0' + mantissa % 10));
    if (digits.empty()) digits = "0";
    auto multiply = [&digits](int factor) {
        int carry = 0;
        for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
            const int product = (*it - '0') * factor + carry;
            *it = static_cast<char>('0' + product % 10);
            carry = product / 10;
        }
        for (; carry > 0; carry /= 10) digits.insert(digits.begin(), static_cast<char>('0' + carry % 10));
    };
    int fractionDigits = 0;
    for (; exponent > 0; --exponent) multiply(2);
    for (; exponent < 0; ++exponent, ++fractionDigits) multiply(5);

    if (static_cast<int>(digits.size()) <= fractionDigits) digits.insert(0, fractionDigits + 1 - digits.size(), '0');
    std::string integerPart = digits.substr(0, digits.size() - fractionDigits);
    std::string fractionPart = digits.substr(digits.size() - fractionDigits);
    fractionPart.resize(std::max<std::size_t>(fractionPart.size(), decimals + 1), '0');

    std::string kept = integerPart + fractionPart.substr(0, decimals);
    if (fractionPart[decimals] >= '5') {  // the magnitude rounds up, exact halves included
        int i = static_cast<int>(kept.size()) - 1;
        for (; i >= 0 && kept[i] == '9'; --i) kept[i] = '0';
        if (i < 0) kept.insert(kept.begin(), '1'); else ++kept[i];
    }
    const std::size_t integerLength = kept.size() - decimals;
    std::size_t firstNonZero = 0;
    while (firstNonZero + 1 < integerLength && kept[firstNonZero] == '0') ++firstNonZero;
    kept.erase(0, firstNonZero);
    std::string text = decimals > 0 ? kept.substr(0, kept.size() - decimals) + "." + kept.substr(kept.size() - decimals)
                                    : kept;
    const bool isZero = kept.find_first_not_of('0') == std::string::npos;
    return (std::signbit(value) && !isZero ? "-" : "") + text;
}

std::string Fixed(double value, int decimals) {
    std::string text;
    AppendFixed(text, value, decimals);
    return text;
}

std::string Masked(double value, std::string_view mask) {
    std::string text;
    AppendMasked(text, value, mask);
    return text;
}

struct MaskCase {
    double value;
    std::string_view mask;
    const char* expected;
};

class MaskedText : public ::testing::TestWithParam<MaskCase> {};

TEST_P(MaskedText, GivesTheExactText) {
    const MaskCase& c = GetParam();
    EXPECT_EQ(Masked(c.value, c.mask), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    KnownValues, MaskedText,
    ::testing::Values(
        MaskCase{0.5, kMaskFourDecimalsTwoBlanks, "0.5000  "},
        MaskCase{-12.25, kMaskFourDecimalsTwoBlanks, "-12.2500  "},
        MaskCase{0.5, kMaskFourDecimalsLeadingZero, "0.5000"},
        MaskCase{0.5, kMaskFourDecimals, "0.5000"},
        MaskCase{-0.25, kMaskFourDecimals, "-0.2500"},
        MaskCase{12.345678, kMaskFourDecimals, "12.3457"},
        MaskCase{0.03125, kMaskFourDecimals, "0.0313"},
        MaskCase{-0.03125, kMaskFourDecimals, "-0.0313"},
        MaskCase{0.00005, kMaskFourDecimals, "0.0001"},  // the double lies just above the half
        MaskCase{-1e-17, kMaskFourDecimalsTwoBlanks, "0.0000  "},
        MaskCase{-0.00004999, kMaskFourDecimals, "0.0000"},
        MaskCase{-0.0, kMaskFourDecimals, "0.0000"},
        MaskCase{9.99995, kMaskFourDecimals, "10.0000"},
        MaskCase{-99999.99995, kMaskFourDecimals, "-99999.9999"},  // the double lies just below
        MaskCase{-99999.99996, kMaskFourDecimals, "-100000.0000"},
        MaskCase{1e15, kMaskFourDecimals, "1000000000000000.0000"},
        MaskCase{-123456789012.34375, kMaskFourDecimals, "-123456789012.3438"},
        MaskCase{9007199254740993.0, kMaskFourDecimals, "9007199254740992.0000"},
        MaskCase{1e20, kMaskFourDecimals, "100000000000000000000.0000"},
        MaskCase{0.5, kMaskSixDecimals, "0.500000"},
        MaskCase{-0.0625, kMaskSixDecimals, "-0.062500"},
        MaskCase{1.4986304999999999, kMaskSixDecimals, "1.498630"},
        MaskCase{0.0000005, kMaskSixDecimals, "0.000000"},  // the double lies just below the half
        MaskCase{0.0078125, kMaskSixDecimals, "0.007813"},
        MaskCase{-0.0078125, kMaskSixDecimals, "-0.007813"},
        MaskCase{66504596106289.15625, kMaskFourDecimals, "66504596106289.1563"},
        MaskCase{std::numeric_limits<double>::quiet_NaN(), kMaskFourDecimals, "NaN"},
        MaskCase{std::numeric_limits<double>::infinity(), kMaskSixDecimals, "Infinity"},
        MaskCase{-std::numeric_limits<double>::infinity(), kMaskFourDecimals, "-Infinity"}));

TEST(NumberText, LargestDoubleIsWrittenWithAllItsDigits) {
    EXPECT_EQ(Fixed(std::numeric_limits<double>::max(), 4), ExactFixed(std::numeric_limits<double>::max(), 4));
    EXPECT_EQ(Fixed(-std::numeric_limits<double>::denorm_min(), 6), "0.000000");
}

TEST(NumberText, CountersStandBetweenBlanksOrAfterAMinus) {
    std::string text;
    AppendCounter(text, 12);
    AppendCounter(text, -3);
    AppendCounter(text, 0);
    EXPECT_EQ(text, " 12 -3  0 ");
}

// Random values of every scale the results file sees, plus exact halves built on purpose.
TEST(NumberText, FixedTextAgreesWithTheExactDecimalExpansion) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
    std::uniform_int_distribution<int> scale(-12, 16);
    std::uniform_int_distribution<long long> units(-2000000000LL, 2000000000LL);
    for (int n = 0; n < 40000; ++n) {
        const int decimals = n % 2 == 0 ? 4 : 6;
        const double value = std::ldexp(mantissa(random), 0) * std::pow(10.0, scale(random));
        ASSERT_EQ(Fixed(value, decimals), ExactFixed(value, decimals)) << value;
        // (units + 1/2) / 2^5 has five decimals and (units + 1/2) / 2^7 seven: exact ties at four
        // and six decimals.
        const double tie = (static_cast<double>(units(random)) + 0.5) / (decimals == 4 ? 32.0 : 128.0);
        ASSERT_EQ(Fixed(tie, decimals), ExactFixed(tie, decimals)) << tie;
        const double nearTie = std::nextafter(tie, n % 3 == 0 ? 0.0 : 1e300);
        ASSERT_EQ(Fixed(nearTie, decimals), ExactFixed(nearTie, decimals)) << nearTie;
    }
}

TEST(NumberText, ReferenceRoundsHalvesAwayFromZero) {
    // Guards the reference itself against the digits it is meant to produce.
    EXPECT_EQ(ExactFixed(0.03125, 4), "0.0313");
    EXPECT_EQ(ExactFixed(-0.03125, 4), "-0.0313");
    EXPECT_EQ(ExactFixed(-1e-17, 4), "0.0000");
    EXPECT_EQ(ExactFixed(9.99995, 4), "10.0000");
    EXPECT_EQ(ExactFixed(2.5, 0), "3");
}

}  // namespace
}  // namespace panelflow
