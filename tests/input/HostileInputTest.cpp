// SPDX-License-Identifier: GPL-3.0-or-later
// Inputs made to hurt: names that hold terminal control sequences, and header texts without end.
// Messages show every control character of a name as an escape, and a header text beyond 1 MB is
// refused after reading about that much, however large the file.

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "input/BodyProfileFile.h"
#include "input/CornerPointFile.h"
#include "results/ResultsFile.h"
#include "support/TempDir.h"

namespace panelflow {
namespace {

using testing::TempDir;
using testing::WriteFile;

bool HasControlCharacter(const std::string& text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
    return false;
}

TEST(HostileInput, ControlCharactersOfANameAreShownAsEscapesInEveryMessage) {
    TempDir dir;
    const std::string name = "a\x1b[2J\nb\x7f";
    const std::string shown = dir.path().string() + "/a\\x1B[2J\\nb\\x7F";
    WriteFile(dir.File(name + ".BodyFoil"), "Lens,x,points\n");
    BodyProfile profile;
    PanelModel model;
    const Status messages[] = {
        ReadBodyProfile(dir.File(name + ".BodyFoil"), 4, profile),  // from the reader, with a position
        ReadCornerPoints(dir.File(name + ".Coords"), model),        // a file that does not exist
        StartResultsFile(dir.File(name + "/Axisym.txt")),           // a results file that cannot be made
    };
    const std::string expected[] = {
        shown + ".BodyFoil, line 1, field 2: expected NP, found \"x\".",
        shown + ".Coords does not exist.",
        "The results file " + shown + "/Axisym.txt cannot be created: No such file or directory.",
    };
    for (int m = 0; m < 3; ++m) {
        EXPECT_FALSE(messages[m]);
        EXPECT_FALSE(HasControlCharacter(messages[m].message)) << messages[m].message;
        EXPECT_EQ(messages[m].message, expected[m]);
    }
}

class HeaderLength : public ::testing::TestWithParam<bool> {};

TEST_P(HeaderLength, UpToOneMegabyteIsReadAndBeyondIsRefused) {
    const std::string quote = GetParam() ? "\"" : "";
    for (const std::size_t length : {FieldReader::kMaxTextLength, FieldReader::kMaxTextLength + 1}) {
        const std::string text = quote + std::string(length, 'h') + quote + ",2,points\n1,0,0\n2,1,0\n";
        FieldReader fields(text, "long.BodyFoil");
        BodyProfile profile;
        const Status status = ReadBodyProfile(fields, 4, profile);
        if (length == FieldReader::kMaxTextLength) {
            EXPECT_TRUE(status) << status.message;
        } else {
            EXPECT_EQ(status.message, "long.BodyFoil, line 1, field 1: the first header field runs on for more than "
                                      "1048576 characters; a header text must be shorter.");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(QuotedOrNot, HeaderLength, ::testing::Bool());

TEST(HostileInput, ASparseFileOfTwentyGigabytesWithOneEndlessHeaderIsRefusedAfterItsFirstMegabyte) {
    TempDir dir;
    const std::string path = dir.File("sparse.BodyFoil");
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    const bool made = ::ftruncate(fd, 20LL << 30) == 0;
    ::close(fd);
    if (!made) GTEST_SKIP() << "the temporary directory's file system holds no sparse file of 20 GB";
    BodyProfile profile;
    const Status status = ReadBodyProfile(path, 4, profile);
    EXPECT_EQ(status.message, path + ", line 1, field 1: the first header field runs on for more than 1048576 "
                                     "characters; a header text must be shorter.");
}

}  // namespace
}  // namespace panelflow
