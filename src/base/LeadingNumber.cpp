// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/LeadingNumber.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace panelflow {
namespace {

std::string WithoutBlanks(std::string_view text) {
    std::string kept;
    kept.reserve(text.size());
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n') kept += c;
    return kept;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "&H1F" or "&O17": a whole number in base 16 or 8; digits stop at the first character that
// does not belong to the base.
double RadixNumber(const std::string& s) {
    if (s.size() < 2) return 0.0;
    const char kind = s[1];
    const int base = (kind == 'H' || kind == 'h') ? 16 : (kind == 'O' || kind == 'o') ? 8 : 0;
    if (base == 0) return 0.0;
    double value = 0.0;
    for (std::size_t p = 2; p < s.size(); ++p) {
        const char c = s[p];
        int digit = -1;
        if (IsDigit(c)) digit = c - '0';
        else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0 || digit >= base) break;
        value = value * base + digit;
    }
    return value;
}

}  // namespace

double LeadingNumber(std::string_view text) {
    const std::string s = WithoutBlanks(text);
    if (!s.empty() && s[0] == '&') return RadixNumber(s);

    std::size_t p = 0;
    bool negative = false;
    if (p < s.size() && (s[p] == '+' || s[p] == '-')) negative = s[p++] == '-';
    const std::size_t mantissaStart = p;
    std::size_t digits = 0;
    while (p < s.size() && IsDigit(s[p])) ++p, ++digits;
    if (p < s.size() && s[p] == '.') {
        ++p;
        while (p < s.size() && IsDigit(s[p])) ++p, ++digits;
    }
    if (digits == 0) return 0.0;
    std::string number = s.substr(mantissaStart, p - mantissaStart);
    // An exponent counts only when at least one digit follows the letter and its sign.
    if (p < s.size() && (s[p] == 'e' || s[p] == 'E' || s[p] == 'd' || s[p] == 'D')) {
        std::size_t q = p + 1;
        std::string exponent = "e";
        if (q < s.size() && (s[q] == '+' || s[q] == '-')) exponent += s[q++];
        const std::size_t expDigitsStart = q;
        while (q < s.size() && IsDigit(s[q])) exponent += s[q++];
        if (q > expDigitsStart) number += exponent;
    }
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Either overflow or underflow: tell them apart by the exponent's sign.
        const bool tiny = number.find("e-") != std::string::npos;
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return negative ? -value : value;
}

}  // namespace panelflow
