// SPDX-License-Identifier: GPL-3.0-or-later
#include "input/FieldReader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <charconv>
#include <clocale>
#include <cmath>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace panelflow {
namespace {

using testing::TempDir;
using testing::WriteFile;

// Reads every field of `text` as a number; stops at the first failure and returns its message
// in `message` (empty when the text simply ran out).
std::vector<double> Numbers(std::string_view text, std::string* message = nullptr) {
    FieldReader fields(text, "in.txt");
    std::vector<double> values;
    double value = 0.0;
    while (fields.ReadNumber(value)) values.push_back(value);
    if (message) {
        const Status failure = fields.Failure("the next number", "there");
        *message = failure.message;
    }
    return values;
}

std::string Shortest(double value) {
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

std::string FailureOfFirstNumber(std::string_view text) {
    FieldReader fields(text, "in.txt");
    double value = 0.0;
    EXPECT_FALSE(fields.ReadNumber(value)) << text;
    return fields.Failure("the x of point 1", "after the header").message;
}

class FieldLayouts : public ::testing::TestWithParam<const char*> {};

TEST_P(FieldLayouts, GiveTheSameSequenceOfNumbers) {
    const std::vector<double> expected = {1.0, -2.5, 300.0, 0.04, 5.0, 6.0};
    std::string message;
    EXPECT_EQ(Numbers(GetParam(), &message), expected);
    EXPECT_EQ(message, "in.txt ends there: the next number is missing.");
}

INSTANTIATE_TEST_SUITE_P(
    Separators, FieldLayouts,
    ::testing::Values("1,-2.5,3e2,4E-2,5,6", "1,-2.5,3e2\n4E-2,5,6\n", "1\n-2.5\n3e2\n4E-2\n5\n6",
                      "1,-2.5,3e2\r\n4E-2,5,6\r\n", "1,-2.5,3e2\r4E-2,5,6\r", "  1 ,\t-2.5  , 3e2\n 4E-2,5 ,6 ",
                      "1 -2.5 3e2\n4E-2\t5  6", "1 -2.5, 3e2 4E-2 ,5\t,6", "\n\n1,-2.5,3e2\n   \n\t\n4E-2,5,6\n\n",
                      "\"1\",\"-2.5\" \"3e2\"\n+4E-2,+5,\"6\""));

struct NumberCase {
    const char* text;
    double value;
};

class AcceptedNumbers : public ::testing::TestWithParam<NumberCase> {};

TEST_P(AcceptedNumbers, ReadAsTheirDecimalValue) {
    const std::vector<double> values = Numbers(GetParam().text);
    ASSERT_EQ(values.size(), 1u) << GetParam().text;
    EXPECT_EQ(values[0], GetParam().value) << GetParam().text;
    EXPECT_EQ(std::signbit(values[0]), std::signbit(GetParam().value)) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Texts, AcceptedNumbers,
                         ::testing::Values(NumberCase{"1.5", 1.5}, NumberCase{"+1.5", 1.5}, NumberCase{"-1.5", -1.5},
                                           NumberCase{".25", 0.25}, NumberCase{"2.", 2.0}, NumberCase{"-.5e-2", -0.005},
                                           NumberCase{"1E+3", 1000.0}, NumberCase{"0.1", 0.1},
                                           NumberCase{"1e-400", 0.0}, NumberCase{"-1e-400", -0.0},
                                           NumberCase{"0.000001e-320", 0.0}, NumberCase{"0e99999999999999999999", 0.0},
                                           NumberCase{"1e-9223372036854775802", 0.0}, NumberCase{"1e-310", 1e-310},
                                           NumberCase{"1.7976931348623157e308", 1.7976931348623157e308}));

TEST(FieldReader, NumbersReadTheSameUnderATurkishLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "tr_TR.UTF-8")) GTEST_SKIP() << "tr_TR.UTF-8 is not installed";
    const std::vector<double> values = Numbers("1.5,-0.25e1 3.75");
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(values, (std::vector<double>{1.5, -2.5, 3.75}));
}

struct RefusedCase {
    const char* text;
    const char* message;
};

class RefusedNumbers : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedNumbers, NameTheFilePlaceAndTextFound) {
    EXPECT_EQ(FailureOfFirstNumber(GetParam().text), GetParam().message) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RefusedNumbers,
    ::testing::Values(
        RefusedCase{"abc", "in.txt, line 1, field 1: expected the x of point 1, found \"abc\"."},
        RefusedCase{"1.5abc", "in.txt, line 1, field 1: expected the x of point 1, found \"1.5abc\"."},
        RefusedCase{"0x10", "in.txt, line 1, field 1: expected the x of point 1, found \"0x10\"."},
        RefusedCase{"1e", "in.txt, line 1, field 1: expected the x of point 1, found \"1e\"."},
        RefusedCase{"+-1", "in.txt, line 1, field 1: expected the x of point 1, found \"+-1\"."},
        RefusedCase{"++1", "in.txt, line 1, field 1: expected the x of point 1, found \"++1\"."},
        RefusedCase{"+", "in.txt, line 1, field 1: expected the x of point 1, found \"+\"."},
        RefusedCase{",2", "in.txt, line 1, field 1: expected the x of point 1, found an empty field."},
        RefusedCase{"\"\"", "in.txt, line 1, field 1: expected the x of point 1, found an empty field."},
        RefusedCase{"nan", "in.txt, line 1, field 1: expected the x of point 1, found \"nan\", which is not a finite number."},
        RefusedCase{"-inf", "in.txt, line 1, field 1: expected the x of point 1, found \"-inf\", which is not a finite number."},
        RefusedCase{"Infinity", "in.txt, line 1, field 1: expected the x of point 1, found \"Infinity\", which is not a finite number."},
        RefusedCase{"1e999", "in.txt, line 1, field 1: expected the x of point 1, found \"1e999\", which is not a finite number."},
        RefusedCase{"-2e308", "in.txt, line 1, field 1: expected the x of point 1, found \"-2e308\", which is not a finite number."},
        RefusedCase{"1e9223372036854775807", "in.txt, line 1, field 1: expected the x of point 1, found \"1e9223372036854775807\", which is not a finite number."},
        RefusedCase{"1e99999999999999999999", "in.txt, line 1, field 1: expected the x of point 1, found \"1e99999999999999999999\", which is not a finite number."},
        RefusedCase{"\"1.5", "in.txt, line 1, field 1: the quote that opens the x of point 1 is not closed before the end of the file."},
        RefusedCase{"\"1.5\n\"", "in.txt, line 1, field 1: the quote that opens the x of point 1 is not closed before the end of the line."},
        RefusedCase{"\"1.5\"x", "in.txt, line 1, field 1: the x of point 1 has text after its closing quote; a comma or a line end must follow it."},
        RefusedCase{"", "in.txt is empty."},
        RefusedCase{" \r\n\t\n  ", "in.txt is empty."}));

TEST(FieldReader, CommaSplitsADecimalComma) {
    // A decimal comma is two fields, never 1.5: the file's meaning does not depend on a locale.
    EXPECT_EQ(Numbers("1,5"), (std::vector<double>{1.0, 5.0}));
}

TEST(FieldReader, MessagesCountLinesAndFieldsWhereTheFieldBegins) {
    std::string message;
    // Blank lines, CR LF and lone CR each count as lines; fields are counted within a line.
    const std::vector<double> values = Numbers("1,2\r\n\r\n3 4\r5, 6,\t x7 ,8", &message);
    EXPECT_EQ(values, (std::vector<double>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(message, "in.txt, line 4, field 3: expected the next number, found \"x7\".");
}

TEST(FieldReader, ATextFieldRunsToTheCommaOrLineEndAndQuotesMayHoldCommas) {
    FieldReader fields("Body of revolution, 4:1 ,\"x, r\"\n\"2.5\" 33\n\"a \"\"b\", 2", "in.txt");
    ASSERT_TRUE(fields.SkipTextField());
    EXPECT_EQ(fields.Text(), "Body of revolution");
    ASSERT_TRUE(fields.SkipTextField());
    EXPECT_EQ(fields.Text(), "4:1");
    ASSERT_TRUE(fields.SkipTextField());
    EXPECT_EQ(fields.Text(), "x, r");
    // After a quoted number, blanks separate it from a number that follows.
    double value = 0.0;
    ASSERT_TRUE(fields.ReadNumber(value));
    EXPECT_EQ(value, 2.5);
    ASSERT_TRUE(fields.ReadNumber(value));
    EXPECT_EQ(value, 33.0);
    // A text field ends with its quote: what follows the quote before the comma is refused.
    EXPECT_FALSE(fields.SkipTextField());
    EXPECT_EQ(fields.Failure("the title", "").message,
              "in.txt, line 3, field 1: the title has text after its closing quote; a comma or a line end must follow it.");
}

TEST(FieldReader, ACommaBeforeALineEndLeavesAnEmptyField) {
    std::string message;
    EXPECT_EQ(Numbers("1,2,\n3", &message), (std::vector<double>{1, 2}));
    EXPECT_EQ(message, "in.txt, line 1, field 3: expected the next number, found an empty field.");
}

TEST(FieldReader, ANumberLongerThanTheLimitIsRefusedWithoutHoldingIt) {
    const std::string longest = "1." + std::string(FieldReader::kMaxFieldLength - 2, '7');
    EXPECT_EQ(Numbers(longest).size(), 1u);
    for (const std::string& text : {longest + "7", "\"" + longest + "7\""}) {
        FieldReader fields(text, "in.txt");
        double value = 0.0;
        EXPECT_FALSE(fields.ReadNumber(value));
        EXPECT_EQ(fields.Failure("the x", "").message,
                  "in.txt, line 1, field 1: expected the x, found a field longer than 4096 characters.");
        EXPECT_LE(fields.Text().size(), FieldReader::kMaxFieldLength);
    }
}

TEST(FieldReader, AHeaderTextOfAnyLengthIsSkippedKeepingOnlyItsStart) {
    const std::string title(3 * FieldReader::kMaxFieldLength, 'T');
    for (const std::string& text : {title + ",7", "\"" + title + ", more\",7", title + "\n7"}) {
        FieldReader fields(text, "in.txt");
        ASSERT_TRUE(fields.SkipTextField());
        EXPECT_EQ(fields.Text(), std::string(FieldReader::kMaxFieldLength, 'T'));
        double value = 0.0;
        ASSERT_TRUE(fields.ReadNumber(value));
        EXPECT_EQ(value, 7.0);
    }
}

TEST(FieldReader, AByteOrderMarkAtTheStartIsSkippedAndNowhereElse) {
    const std::string mark = "\xEF\xBB\xBF";
    EXPECT_EQ(Numbers(mark + "3, 4\r\n"), (std::vector<double>{3, 4}));
    const std::string headerText = mark + "\"Title\", 5";  // the reader views the text, which must outlive it
    FieldReader header(headerText, "in.txt");
    ASSERT_TRUE(header.SkipTextField());
    EXPECT_EQ(header.Text(), "Title");
    std::string message;
    EXPECT_EQ(Numbers("3, " + mark + "4", &message), (std::vector<double>{3}));
    EXPECT_EQ(message, "in.txt, line 1, field 2: expected the next number, found \"\\uFEFF4\".");

    TempDir dir;
    const std::string path = dir.File("marked.Coords");
    WriteFile(path, mark + "1\t2\n");
    FieldReader fields;
    ASSERT_TRUE(fields.Open(path));
    double first = 0.0, second = 0.0;
    ASSERT_TRUE(fields.ReadNumber(first));
    ASSERT_TRUE(fields.ReadNumber(second));
    EXPECT_EQ(first, 1.0);
    EXPECT_EQ(second, 2.0);
    EXPECT_EQ(Numbers(mark).size(), 0u);
}

TEST(FieldReader, MessagesShowSixtyCharactersOfALongTextAndNoControlCharacter) {
    const std::string text = "a\x01" + std::string(100, 'b') + "z";
    const std::string message = FailureOfFirstNumber(text);
    EXPECT_EQ(message, "in.txt, line 1, field 1: expected the x of point 1, found \"a\\x01" + std::string(38, 'b') +
                           "\u2026" + std::string(19, 'b') + "z\".");
}

TEST(FieldReader, AFileReadsLikeTheSameTextInMemoryAcrossBufferBoundaries) {
    // Enough fields to cross the reader's 64 KiB blocks many times, with CR LF line ends that
    // may fall across a block boundary.
    std::string text;
    std::vector<double> expected;
    for (int n = 0; n < 40000; ++n) {
        const double value = n * 0.125 - 7.0;
        expected.push_back(n);
        expected.push_back(value);
        const std::string quote = n % 3 == 0 ? "\"" : "";
        text += CountText(n) + "\t" + quote + Shortest(value) + quote + (n % 2 ? "\r\n" : ", ");
    }
    TempDir dir;
    const std::string path = dir.File("big.txt");
    WriteFile(path, text);
    FieldReader fields;
    ASSERT_TRUE(fields.Open(path));
    std::vector<double> values;
    double value = 0.0;
    while (fields.ReadNumber(value)) values.push_back(value);
    EXPECT_EQ(fields.Failure("the next number", "there").message, path + " ends there: the next number is missing.");
    EXPECT_EQ(values, expected);
    EXPECT_EQ(Numbers(text), expected);
}

TEST(FieldReader, FilesThatCannotBeReadAreRefusedWithTheirPath) {
    TempDir dir;
    FieldReader fields;
    EXPECT_EQ(fields.Open(dir.File("missing.BodyFoil")).message, dir.File("missing.BodyFoil") + " does not exist.");
    EXPECT_EQ(fields.Open(dir.path().string()).message, dir.path().string() + " is a directory, not a file.");
    const std::string pipe = dir.File("pipe.BodyFoil");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(fields.Open(pipe).message, pipe + " is not a regular file.");  // and does not wait for a writer
    EXPECT_EQ(fields.Open("").message, "No file name was given.");
    WriteFile(dir.File("file"), "1");
    EXPECT_NE(fields.Open(dir.File("file/below")).message.find(dir.File("file/below") + " cannot be opened: "),
              std::string::npos);
}

TEST(ReadCount, AcceptsWholeNumbersAtLeastTheMinimumAndNamesTheCountOtherwise) {
    const auto read = [](std::string_view text, double& count) {
        FieldReader fields(text, "f.Coords");
        return ReadCount(fields, "NI", 1.0, "after the start", count);
    };
    double count = 0.0;
    EXPECT_TRUE(read("7", count));
    EXPECT_EQ(count, 7.0);
    EXPECT_TRUE(read("7.0e0", count));
    EXPECT_EQ(count, 7.0);
    EXPECT_EQ(read("  1.5", count).message, "f.Coords, line 1, field 1: NI must be a whole number of at least 1, found 1.5.");
    EXPECT_EQ(read("0", count).message, "f.Coords, line 1, field 1: NI must be a whole number of at least 1, found 0.");
    EXPECT_EQ(read("-3", count).message, "f.Coords, line 1, field 1: NI must be a whole number of at least 1, found -3.");
    EXPECT_EQ(read("six", count).message, "f.Coords, line 1, field 1: expected NI, found \"six\".");
    EXPECT_EQ(read("\n\n2.5", count).message, "f.Coords, line 3, field 1: NI must be a whole number of at least 1, found 2.5.");
    EXPECT_EQ(read("nan", count).message, "f.Coords, line 1, field 1: expected NI, found \"nan\", which is not a finite number.");
    EXPECT_EQ(read("", count).message, "f.Coords is empty.");
}

}  // namespace
}  // namespace panelflow
