#include "common/NumberText.h"

#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace panelflow {
namespace {

constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
constexpr std::uint64_t kWholePowersOfTen[] = {1,      10,      100,      1000,      10000,
                                               100000, 1000000, 10000000, 100000000, 1000000000};

char* WriteText(char* out, std::string_view text) {
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

// The fraction `part` (0 <= part < 1) times 10^decimals, rounded to the nearest whole number with
// halves rounded up. The product is exactly hi + lo (an FMA gives the rounding error lo); hi is
// below 2^30, so its fractional part and that part minus one half are exact, and only when the
// latter is exactly zero can lo decide.
std::uint64_t RoundedDecimals(double part, int decimals) {
    const double c = kPowersOfTen[decimals];
    const double hi = part * c;
    const double lo = std::fma(part, c, -hi);
    auto units = static_cast<std::uint64_t>(hi);
    const double excess = (hi - static_cast<double>(units)) - 0.5;
    if (excess > 0.0 || (excess == 0.0 && lo >= 0.0)) ++units;
    return units;
}

}  // namespace

char* WriteFixed(char* out, double value, int decimals) {
    assert(decimals >= 0 && decimals <= 9);
    if (std::isnan(value)) return WriteText(out, "NaN");
    if (std::isinf(value)) return WriteText(out, value > 0 ? "Infinity" : "-Infinity");

    // Whole part and fraction are both exact; the fraction alone is rounded, and a carry out of
    // it moves to the whole part (which is then below 2^52, so adding one is exact).
    const double magnitude = std::fabs(value);
    double whole = std::trunc(magnitude);
    std::uint64_t units = RoundedDecimals(magnitude - whole, decimals);
    if (units == kWholePowersOfTen[decimals]) {
        units = 0;
        whole += 1.0;
    }
    if (std::signbit(value) && (whole != 0.0 || units != 0)) *out++ = '-';  // never "-0.0000"

    char* const end = out + kMaxFixedLength - 1;
    if (whole < 0x1p64)
        out = std::to_chars(out, end, static_cast<std::uint64_t>(whole)).ptr;
    else
        out = std::to_chars(out, end, whole, std::chars_format::fixed, 0).ptr;  // exact: whole is integral
    if (decimals == 0) return out;
    *out++ = '.';
    for (int d = decimals - 1; d >= 0; --d, units /= 10) out[d] = static_cast<char>('0' + units % 10);
    return out + decimals;
}

void AppendFixed(std::string& out, double value, int decimals) {
    char buffer[kMaxFixedLength];
    out.append(buffer, WriteFixed(buffer, value, decimals));
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
