#include "common/NumberText.h"

#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace panelflow {
namespace {

constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};

// True when value * 10^decimals lies exactly halfway between two whole numbers. The product is
// formed exactly as hi + lo (an FMA gives the rounding error); a tie needs lo == 0 and a
// fractional part of exactly one half.
bool IsExactTie(double value, int decimals, double& scaledMagnitude) {
    const double c = kPowersOfTen[decimals];
    const double hi = value * c;
    const double lo = std::fma(value, c, -hi);
    scaledMagnitude = std::fabs(hi);
    if (lo != 0.0 || !(scaledMagnitude < 0x1p52)) return false;
    return scaledMagnitude - std::floor(scaledMagnitude) == 0.5;
}

// Writes the whole number `units` (< 2^53) as a fixed-point text with `decimals` decimals.
void AppendScaledInteger(std::string& out, bool negative, std::uint64_t units, int decimals) {
    char digits[32];
    auto end = std::to_chars(digits, digits + sizeof digits, units).ptr;
    std::string text(digits, end);
    if (static_cast<int>(text.size()) <= decimals) text.insert(0, decimals + 1 - text.size(), '0');
    if (decimals > 0) text.insert(text.size() - decimals, 1, '.');
    if (negative) out += '-';
    out += text;
}

}  // namespace

void AppendFixed(std::string& out, double value, int decimals) {
    assert(decimals >= 0 && decimals <= 9);
    if (std::isnan(value)) { out += "NaN"; return; }
    if (std::isinf(value)) { out += value > 0 ? "Infinity" : "-Infinity"; return; }

    double scaled = 0.0;
    if (IsExactTie(value, decimals, scaled)) {
        const auto units = static_cast<std::uint64_t>(std::floor(scaled)) + 1;  // away from zero
        AppendScaledInteger(out, value < 0, units, decimals);
        return;
    }
    char buffer[400];  // the largest double has 309 integer digits
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    if (!text.empty() && text[0] == '-' && text.find_first_not_of("-0.") == std::string_view::npos)
        text.remove_prefix(1);  // a value that rounds to zero is plain zero
    out += text;
}

void AppendMasked(std::string& out, double value, std::string_view mask) {
    const auto point = mask.find('.');
    const auto lastDigit = mask.find_last_of("#0");
    assert(point != std::string_view::npos && lastDigit != std::string_view::npos);
    AppendFixed(out, value, static_cast<int>(lastDigit - point));
    out += mask.substr(lastDigit + 1);  // blanks that the mask carries
}

void AppendCounter(std::string& out, long long number) {
    char digits[24];
    const unsigned long long magnitude =
        number < 0 ? 0ULL - static_cast<unsigned long long>(number) : static_cast<unsigned long long>(number);
    const auto end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
    out += number < 0 ? '-' : ' ';
    out.append(digits, end);
    out += ' ';
}

}  // namespace panelflow
