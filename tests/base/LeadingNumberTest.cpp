// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/LeadingNumber.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

namespace panelflow {
namespace {

struct Case {
    const char* text;
    double value;
};

class LeadingNumberCases : public ::testing::TestWithParam<Case> {};

TEST_P(LeadingNumberCases, TakesTheLongestLeadingNumber) {
    EXPECT_DOUBLE_EQ(LeadingNumber(GetParam().text), GetParam().value) << "text: \"" << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LeadingNumberCases,
    ::testing::Values(Case{"4", 4}, Case{"12abc", 12}, Case{"abc", 0}, Case{"", 0}, Case{"2 45", 245},
                      Case{" \t7\n", 7}, Case{"-3", -3}, Case{"+8", 8}, Case{"1.5", 1.5}, Case{".5", 0.5},
                      Case{"5.", 5}, Case{"1,5", 1}, Case{"1e3", 1000}, Case{"1E-2x", 0.01}, Case{"2D2", 200},
                      Case{"1e", 1}, Case{"1e+", 1}, Case{"-", 0}, Case{"-.", 0}, Case{"&H1F", 31},
                      Case{"&hff", 255}, Case{"&O17", 15}, Case{"&O19", 1}, Case{"&H", 0}, Case{"&X1", 0},
                      Case{"1 2 . 5", 12.5}, Case{"0.000001e6", 1}));

TEST(LeadingNumber, OverflowGivesInfinityAndUnderflowZero) {
    EXPECT_TRUE(std::isinf(LeadingNumber("1e999")));
    EXPECT_LT(LeadingNumber("-1e999"), 0);
    EXPECT_EQ(LeadingNumber("1e-999"), 0.0);
}

TEST(LeadingNumber, ReadsThePointWhateverTheLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_NUMERIC, "tr_TR.UTF-8")) GTEST_SKIP() << "tr_TR.UTF-8 locale not installed";
    EXPECT_DOUBLE_EQ(LeadingNumber("1.5"), 1.5);
    EXPECT_DOUBLE_EQ(LeadingNumber("1,5"), 1.0);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

}  // namespace
}  // namespace panelflow
