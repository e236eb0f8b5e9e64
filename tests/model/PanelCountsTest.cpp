// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/PanelCounts.h"

#include <gtest/gtest.h>

namespace panelflow {
namespace {

TEST(PanelCounts, WholeCountsOfAtLeastOneAreAccepted) {
    int count = 0;
    EXPECT_TRUE(ReadPanelCount("4", "NI", count));
    EXPECT_EQ(count, 4);
    EXPECT_TRUE(ReadPanelCount("12 panels", "NI", count));
    EXPECT_EQ(count, 12);
    EXPECT_TRUE(ReadPanelCount("&H10", "NJ", count));
    EXPECT_EQ(count, 16);
}

class RefusedCount : public ::testing::TestWithParam<const char*> {};

TEST_P(RefusedCount, IsRefusedWithItsTextAndTheCountNamed) {
    int count = 7;
    const Status status = ReadPanelCount(GetParam(), "NJ", count);
    EXPECT_FALSE(status);
    EXPECT_NE(status.message.find("NJ must be a whole number of at "), std::string::npos) << status.message;
    EXPECT_NE(status.message.find(GetParam()), std::string::npos) << status.message;
    EXPECT_EQ(count, 7) << "a refused count must not change the old one";
}

INSTANTIATE_TEST_SUITE_P(Texts, RefusedCount, ::testing::Values("0", "-4", "2.5", "abc", ""));

class TooLargeCount : public ::testing::TestWithParam<const char*> {};

TEST_P(TooLargeCount, IsRefusedNamingTheLargestCount) {
    int count = 7;
    const Status status = ReadPanelCount(GetParam(), "NI", count);
    EXPECT_FALSE(status);
    EXPECT_NE(status.message.find("NI can be at most 2147483646"), std::string::npos) << status.message;
    EXPECT_NE(status.message.find(GetParam()), std::string::npos) << status.message;
    EXPECT_EQ(count, 7);
}

INSTANTIATE_TEST_SUITE_P(Texts, TooLargeCount, ::testing::Values("2147483647", "3000000000", "1e999"));

TEST(PanelCounts, TheLargestCountIsAccepted) {
    int count = 0;
    EXPECT_TRUE(ReadPanelCount("2147483646", "NI", count));
    EXPECT_EQ(count, 2147483646);
}

TEST(PanelCounts, ProblemsThatDoNotFitInMemoryAreRefusedNamingTheMemory) {
    EXPECT_TRUE(CheckProblemFits(64, 64));
    const Status status = CheckProblemFits(1000, 1000);
    EXPECT_FALSE(status);
    EXPECT_NE(status.message.find("1000000 panels"), std::string::npos) << status.message;
    EXPECT_NE(status.message.find("24000.1 GB"), std::string::npos) << status.message;
}

TEST(PanelCounts, MatrixBytesCountThreeAugmentedMatrices) {
    EXPECT_DOUBLE_EQ(InfluenceMatrixBytes(4, 4), 24.0 * 17 * 18);
}

}  // namespace
}  // namespace panelflow
