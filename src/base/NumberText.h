// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Number texts of the results file, independent of any locale.
//
// Masks: "#0.###0" writes a fixed-point number with exactly four decimals, at least one digit
// before the point, a minus sign for negative values and no padding; "#0.#####0" the same with
// six decimals. Rounding is to the nearest, and a value exactly halfway between two texts
// (such as 0.03125 with four decimals) rounds away from zero. A value that rounds to zero is
// written without a minus sign ("0.0000", never "-0.0000"). Non-finite values are written as
// "NaN", "Infinity" or "-Infinity"; the writers make sure none reach the file.
//
// Counters (panel and point numbers) are written as a blank, or a minus sign for a negative
// number, then the digits, then a blank: 12 gives " 12 ".

#include <cstddef>
#include <string>
#include <string_view>

namespace panelflow {

inline constexpr std::string_view kMaskFourDecimals = "#0.###0";
inline constexpr std::string_view kMaskFourDecimalsLeadingZero = "0.###0";
inline constexpr std::string_view kMaskFourDecimalsTwoBlanks = "#0.###0  ";
inline constexpr std::string_view kMaskSixDecimals = "#0.#####0";

// Appends the fixed-point text of value with the given number of decimals (0 to 9).
void AppendFixed(std::string& out, double value, int decimals);

// The longest text AppendFixed can give: a sign, the 309 integer digits of the largest double, the
// point and 9 decimals.
inline constexpr std::size_t kMaxFixedLength = 320;

// Writes the text of AppendFixed to out, which has room for kMaxFixedLength characters, and
// returns the end of what it wrote; for writers that fill large buffers of their own.
char* WriteFixed(char* out, double value, int decimals);

// Appends the text that one of the masks above gives (blanks inside the mask included).
void AppendMasked(std::string& out, double value, std::string_view mask);

// Appends a counter: blank or minus, digits, blank.
void AppendCounter(std::string& out, long long number);

// The shortest text that reads back as `value` ("0.1", "1e-160"), for messages.
std::string ShortestText(double value);

}  // namespace panelflow
