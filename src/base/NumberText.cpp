// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/NumberText.h"

#include <array>
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

namespace panelflow {
namespace {

constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
constexpr std::uint64_t kWholePowersOfTen[] = {1,      10,      100,      1000,      10000,
                                               100000, 1000000, 10000000, 100000000, 1000000000};

char* WriteText(char* out, std::string_view text) {
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

// Values below these limits have value * 10^decimals < 2^51: the scaled value and its rounding
// fit a double's integers exactly.
constexpr double kFastLimits[] = {0x1p51 / 1e0, 0x1p51 / 1e1, 0x1p51 / 1e2, 0x1p51 / 1e3, 0x1p51 / 1e4,
                                  0x1p51 / 1e5, 0x1p51 / 1e6, 0x1p51 / 1e7, 0x1p51 / 1e8, 0x1p51 / 1e9};

// magnitude * 10^decimals (below 2^51) rounded to the nearest whole number, halves rounded up.
// The exact product is hi + lo (an FMA gives the rounding error lo, |lo| at most half a unit in
// the last place of hi). The fractional part of hi and that part minus one half are exact, and
// one half is a multiple of hi's last place, so only when hi's fraction is exactly one half can
// lo change the outcome; then lo >= 0 rounds up (lo = 0 is the exact tie).
inline std::uint64_t RoundedUnits(double magnitude, double scale) {
    const double hi = magnitude * scale;
    const auto truncated = static_cast<std::int64_t>(hi);
    const double excess = (hi - static_cast<double>(truncated)) - 0.5;
    // Added without a branch: for table values rounding up or down is a coin toss.
    auto units = static_cast<std::uint64_t>(truncated) + (excess > 0.0);
    if (excess == 0.0) [[unlikely]] units += std::fma(magnitude, scale, -hi) >= 0.0;
    return units;
}

// "00" to "99", for writing two digits at a time.
constexpr auto kDigitPairs = [] {
    std::array<char, 200> pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs[2 * i] = static_cast<char>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

// The point and exactly `Decimals` digits of units (units < 10^Decimals).
template <int Decimals>
char* WriteDecimals(char* out, std::uint64_t units) {
    if constexpr (Decimals == 0) {
        return out;
    } else {
        *out++ = '.';
        int d = Decimals;
        for (; d >= 2; d -= 2, units /= 100) std::memcpy(out + d - 2, &kDigitPairs[2 * (units % 100)], 2);
        if (d == 1) out[0] = static_cast<char>('0' + units);
        return out + Decimals;
    }
}

// The common case, a value of moderate size: one product, its rounding, then the digits.
template <int Decimals>
char* WriteModerate(char* out, double value, double magnitude) {
    constexpr std::uint64_t scale = kWholePowersOfTen[Decimals];
    const std::uint64_t units = RoundedUnits(magnitude, static_cast<double>(scale));
    const std::uint64_t whole = units / scale;
    *out = '-';
    out += std::signbit(value) & (units != 0);  // never "-0.0000"
    if (whole < 10)
        *out++ = static_cast<char>('0' + whole);
    else
        out = std::to_chars(out, out + 24, whole).ptr;
    return WriteDecimals<Decimals>(out, units - whole * scale);
}

template <int... D>
constexpr auto MakeWriters(std::integer_sequence<int, D...>) {
    return std::array<char* (*)(char*, double, double), sizeof...(D)>{&WriteModerate<D>...};
}
constexpr auto kModerateWriters = MakeWriters(std::make_integer_sequence<int, 10>{});

template <int... D>
constexpr auto MakeDecimalWriters(std::integer_sequence<int, D...>) {
    return std::array<char* (*)(char*, std::uint64_t), sizeof...(D)>{&WriteDecimals<D>...};
}
constexpr auto kDecimalWriters = MakeDecimalWriters(std::make_integer_sequence<int, 10>{});

}  // namespace

char* WriteFixed(char* out, double value, int decimals) {
    assert(decimals >= 0 && decimals <= 9);
    const double magnitude = std::fabs(value);
    if (magnitude < kFastLimits[decimals]) {
        // The two masks of the results file first, so that their digits loops are unrolled.
        if (decimals == 4) return WriteModerate<4>(out, value, magnitude);
        if (decimals == 6) return WriteModerate<6>(out, value, magnitude);
        return kModerateWriters[decimals](out, value, magnitude);
    }
    if (std::isnan(value)) return WriteText(out, "NaN");
    if (std::isinf(value)) return WriteText(out, value > 0 ? "Infinity" : "-Infinity");

    // Whole part and fraction are both exact; the fraction alone is rounded, and a carry out of
    // it moves to the whole part (which is then below 2^52, so adding one is exact).
    double whole = std::trunc(magnitude);
    std::uint64_t units = RoundedUnits(magnitude - whole, kPowersOfTen[decimals]);
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
    return kDecimalWriters[decimals](out, units);
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

std::string ShortestText(double value) {
    char digits[32];
    return std::string(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

}  // namespace panelflow
