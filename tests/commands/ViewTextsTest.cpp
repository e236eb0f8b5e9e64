// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/ViewTexts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

namespace panelflow {
namespace {

TEST(ViewTexts, AnAngleBoxKeepsItsNumberEvenWhenItOverflows) {
    EXPECT_DOUBLE_EQ(ViewAngleFromText("1e400"), HUGE_VAL);
    EXPECT_DOUBLE_EQ(ViewAngleFromText("2 45"), 245);
}

struct ScaleCase {
    const char* text;
    double scale;
};

void PrintTo(const ScaleCase& c, std::ostream* out) { *out << '"' << c.text << "\" -> " << c.scale; }

class ScaleText : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(ScaleText, GivesTheLeadingNumberOrOneWhenThatIsNoUsableScale) {
    EXPECT_DOUBLE_EQ(ViewScaleFromText(GetParam().text), GetParam().scale) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(Texts, ScaleText,
                         ::testing::Values(ScaleCase{"1", 1}, ScaleCase{"8", 8}, ScaleCase{"2.5x", 2.5},
                                           ScaleCase{" 3", 3}, ScaleCase{"", 1}, ScaleCase{"abc", 1},
                                           ScaleCase{"0", 1}, ScaleCase{"-2", 1}, ScaleCase{"1e-300", 1},
                                           ScaleCase{"1e300", 1}, ScaleCase{"1e999", 1}, ScaleCase{"0.5", 0.5}));

}  // namespace
}  // namespace panelflow
