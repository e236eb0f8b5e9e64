// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/PrintableText.h"

#include <gtest/gtest.h>

#include <string>

namespace panelflow {
namespace {

struct Shown {
    std::string text;
    std::string shown;
};

class PrintableTextOf : public ::testing::TestWithParam<Shown> {};

TEST_P(PrintableTextOf, ShowsWhatCannotBePrintedAsEscapes) {
    EXPECT_EQ(PrintableText(GetParam().text), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PrintableTextOf,
    ::testing::Values(
        Shown{"Küre örneği.BodyFoil", "Küre örneği.BodyFoil"},                   // UTF-8 is kept
        Shown{"a\x1b]2;x\a\x1b[2J.csv", "a\\x1B]2;x\\x07\\x1B[2J.csv"},          // a terminal's title and clear
        Shown{"line\r\nnext\tcell\x7f", "line\\r\\nnext\\tcell\\x7F"},           // line ends, tab, DEL
        Shown{"\xc2\x9b" "31m", "\\u009B31m"},                                    // a C1 control: CSI
        Shown{"\xef\xbb\xbf" "title", "\\uFEFFtitle"},                            // a byte-order mark
        Shown{"abc\xe2\x80\xae" "txt.exe", "abc\\u202Etxt.exe"},                  // a right-to-left override
        Shown{"bad\xff\xfe", "bad\\xFF\\xFE"},                                    // bytes that are no UTF-8
        Shown{"\xc3", "\\xC3"},                                                   // a sequence cut short
        Shown{"\xc0\xaf", "\\xC0\\xAF"},                                          // an overlong '/'
        Shown{"\xed\xa0\x80", "\\xED\\xA0\\x80"},                                 // a surrogate
        Shown{"\xf4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"},                        // beyond U+10FFFF
        Shown{"\xf0\x9f\x98\x80", "\xf0\x9f\x98\x80"}));                          // beyond the first plane, kept

TEST(PrintableText, ALongTextKeepsItsFirstTwoThirdsAndLastThirdAroundAnEllipsis) {
    const std::string digits(309, '9');
    EXPECT_EQ(PrintableText(digits), std::string(107, '9') + "…" + std::string(53, '9'));
    EXPECT_EQ(PrintableText(std::string(160, 'x')), std::string(160, 'x'));
    // Characters, not bytes, are counted, and none is cut in two.
    std::string path = "/";
    for (int k = 0; k < 20; ++k) path += "çizim/";
    path += "gövde.BodyFoil";
    EXPECT_EQ(PrintableText(path, 30), "/çizim/çizim/çizim/ç…e.BodyFoil");
}

}  // namespace
}  // namespace panelflow
