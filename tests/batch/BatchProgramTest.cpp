// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>

#include "support/BatchRunner.h"
#include "support/TempDir.h"

namespace panelflow {
namespace {

using testing::ReadFile;
using testing::RunBatch;
using testing::TempDir;

TEST(BatchProgram, HessWithoutGeometryFailsWithTheMessageAndAnEmptyFile) {
    TempDir dir;
    const auto run = RunBatch(dir, "hess");
    EXPECT_EQ(run.status, 1);
    // The message as the window shows it, then the sentence that says what to do.
    EXPECT_EQ(run.errors.rfind("panelflow-batch: Geometriyi hazırla\nThere is no body to solve for yet", 0), 0u) << run.errors;
    EXPECT_EQ(ReadFile(dir.File("Axisym.txt")), "");
}

TEST(BatchProgram, ARefusedStepStopsTheRunAndLaterStepsDoNotRun) {
    TempDir dir;
    const auto run = RunBatch(dir, "--ni 0 sphere --ni 4 sphere");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("NI must be a whole number of at least 1"), std::string::npos) << run.errors;
    EXPECT_EQ(ReadFile(dir.File("Axisym.txt")), "");
}

TEST(BatchProgram, ASecondSphereAppendsTheSameSectionsAgain) {
    TempDir one, two;
    ASSERT_EQ(RunBatch(one, "sphere").status, 0);
    ASSERT_EQ(RunBatch(two, "sphere sphere").status, 0);
    const std::string once = ReadFile(one.File("Axisym.txt"));
    EXPECT_EQ(ReadFile(two.File("Axisym.txt")), once + once);
}

TEST(BatchProgram, CountTextsMayStandBetweenStepsAndAreReadByTheLeadingNumberRule) {
    TempDir direct, between;
    ASSERT_EQ(RunBatch(direct, "--ni 6 --nj 8 sphere").status, 0);
    ASSERT_EQ(RunBatch(between, "--nj '8 columns' sphere --ni 6 sphere").status, 0);
    const std::string six = ReadFile(direct.File("Axisym.txt"));
    const std::string both = ReadFile(between.File("Axisym.txt"));
    ASSERT_GT(both.size(), six.size());
    EXPECT_EQ(both.substr(both.size() - six.size()), six);
}

// A usage error is one line naming the problem and the hint, exit status 2, and no step run.
TEST(BatchProgram, UsageErrorsPrintOneLineAndTheHintAndRunNothing) {
    TempDir dir;
    for (const char* arguments : {"", "spheres", "--ni", "profile", "sphere --nj", "--ni 8", "--bogus sphere",
                                  "--stream=0,0,0 sphere", "--help=yes", "-- --ni 8 sphere", "sphere -x"}) {
        const auto run = RunBatch(dir, arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        const std::size_t end = run.errors.find('\n');
        EXPECT_EQ(run.errors.rfind("panelflow-batch: ", 0), 0u) << arguments << ": " << run.errors;
        EXPECT_EQ(run.errors.substr(end + 1), "Try 'panelflow-batch --help' for more information.\n") << arguments;
        EXPECT_EQ(run.output, "") << arguments;
        EXPECT_FALSE(std::filesystem::exists(dir.File("Axisym.txt"))) << arguments;
    }
    const auto help = RunBatch(dir, "--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.output.rfind("Usage: panelflow-batch", 0), 0u);
}

TEST(BatchProgram, OptionValuesAfterAnEqualsSignAndStepsAfterTheEndOfOptionsReadAsSeparateWords) {
    TempDir separate, joined;
    ASSERT_EQ(RunBatch(separate, "--ni 6 --nj 5 --stream 0,1,0 sphere hess").status, 0);
    const auto run = RunBatch(joined, "--ni=6 --nj=5 --stream=0,1,0 -- sphere hess");
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(ReadFile(joined.File("Axisym.txt")), ReadFile(separate.File("Axisym.txt")));
}

// Texts from the command line and from files reach standard error with their control
// characters, bytes that are no UTF-8 and byte-order marks as escapes, and long ones shortened.
TEST(BatchProgram, OutsideTextsReachMessagesAsEscapesAndLongOnesShortened) {
    TempDir dir;
    testing::WriteFile(dir.File("marked.BodyFoil"), "Lens,\xEF\xBB\xBF\xFF,points\n");
    const std::string zeros(308, '0');
    const struct {
        std::string arguments, message;
    } cases[] = {
        {"\"$(printf 'bad\\033[2J\\377')\"", "unknown step or option \"bad\\x1B[2J\\xFF\""},
        {"--stream \"$(printf '1\\033[2J,0,0')\" sphere", "The free stream \"1\\x1B[2J,0,0\" is not three numbers"},
        {"sphere hess csv \"$(printf 'nodir/\\033]2;x\\007.csv')\"",
         "The CSV file nodir/\\x1B]2;x\\x07.csv cannot be written: its folder nodir does not exist."},
        {"profile marked.BodyFoil", "marked.BodyFoil, line 1, field 2: expected NP, found \"\\uFEFF\\xFF\"."},
        {"--ni 1" + zeros + " sphere",
         "NI can be at most 2147483646; the text \"1" + std::string(106, '0') + "…" + std::string(53, '0') +
             "\" gives 1e+308."},
    };
    for (const auto& c : cases) {
        const auto run = RunBatch(dir, c.arguments);
        EXPECT_NE(run.errors.find(c.message), std::string::npos) << c.arguments << "\n" << run.errors;
    }
}

TEST(BatchProgram, ATurkishLocaleWritesTheSameFile) {
    TempDir c, turkish;
    ASSERT_EQ(RunBatch(c, "--ni 6 --nj 5 sphere hess", "LANG=C LC_ALL=C").status, 0);
    ASSERT_EQ(RunBatch(turkish, "--ni 6 --nj 5 sphere hess", "LANG=tr_TR.UTF-8 LC_ALL=tr_TR.UTF-8").status, 0);
    EXPECT_EQ(ReadFile(turkish.File("Axisym.txt")), ReadFile(c.File("Axisym.txt")));
}

}  // namespace
}  // namespace panelflow
