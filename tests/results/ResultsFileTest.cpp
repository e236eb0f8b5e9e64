// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/ResultsFile.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace panelflow {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

TEST(ResultsFile, StartingEmptiesAnExistingFile) {
    TempDir dir;
    const std::string path = dir.File("Axisym.txt");
    WriteFile(path, "old contents");
    ASSERT_TRUE(StartResultsFile(path));
    EXPECT_EQ(ReadFile(path), "");
}

TEST(ResultsFile, SectionsAppendLinesEndedByCarriageReturnAndLineFeed) {
    TempDir dir;
    const std::string path = dir.File("Axisym.txt");
    ASSERT_TRUE(StartResultsFile(path));
    for (int section = 0; section < 2; ++section) {
        ResultsAppender out(path);
        out.Text(" Title").EndLine();
        out.EndLine();
        out.Counter(12).Text("   ").Masked(0.5, kMaskFourDecimalsTwoBlanks).Masked(-12.25, kMaskFourDecimalsTwoBlanks);
        out.EndLine();
        out.Counter(-3).Masked(-0.0625, kMaskSixDecimals).EndLine();
        ASSERT_TRUE(out.Close());
    }
    const std::string section = " Title\r\n\r\n 12    0.5000  -12.2500  \r\n-3 -0.062500\r\n";
    EXPECT_EQ(ReadFile(path), section + section);
}

TEST(ResultsFile, LargeSectionsAreWrittenWhole) {
    TempDir dir;
    const std::string path = dir.File("Axisym.txt");
    std::string expected;
    {
        ResultsAppender out(path);
        for (int i = 0; i < 200000; ++i) {
            out.Counter(i).EndLine();
            expected += " " + std::to_string(i) + " \r\n";
        }
        out.WriteLines("block\r\n");
        expected += "block\r\n";
        ASSERT_TRUE(out.Close());
    }
    EXPECT_EQ(ReadFile(path), expected);
}

TEST(ResultsFile, AFullDiskIsReportedNamingTheFileAndTheReason) {
    ResultsAppender out("/dev/full");
    for (int i = 0; i < 10; ++i) out.Text("line").EndLine();
    const Status status = out.Close();
    EXPECT_FALSE(status);
    EXPECT_NE(status.message.find("/dev/full"), std::string::npos) << status.message;
    EXPECT_NE(status.message.find("No space left on device"), std::string::npos) << status.message;
}

TEST(ResultsFile, AFileThatCannotBeCreatedIsReported) {
    TempDir dir;
    const std::string path = dir.File("missing-directory/Axisym.txt");
    const Status started = StartResultsFile(path);
    EXPECT_FALSE(started);
    EXPECT_NE(started.message.find(path), std::string::npos) << started.message;
    ResultsAppender out(path);
    EXPECT_TRUE(out.failed());
    EXPECT_FALSE(out.Close());
}

TEST(ResultsFile, RollbackCutsTheFileBackToItsLengthAtTheStart) {
    TempDir dir;
    const std::string path = dir.File("Axisym.txt");
    WriteFile(path, "kept\r\n");
    ResultsTransaction transaction(path);
    {
        ResultsAppender out(path);
        out.Text("half a section").EndLine();
        ASSERT_TRUE(out.Close());
    }
    transaction.Rollback();
    EXPECT_EQ(ReadFile(path), "kept\r\n");
}

}  // namespace
}  // namespace panelflow
