// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/FreeStream.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/NumberText.h"
#include "base/PrintableText.h"

namespace panelflow {
namespace {

constexpr int kOrdinaryExponent = 60;

}  // namespace

Status CheckFreeStream(const FreeStream& vinf, const std::string& text) {
    const std::string named = "The free stream \"" + (text.empty() ? FreeStreamText(vinf) : PrintableText(text)) + "\"";
    if (!std::isfinite(vinf.VinfX) || !std::isfinite(vinf.VinfY) || !std::isfinite(vinf.VinfZ))
        return Status::Fail(named + " has a component that is not a finite number.");
    if (vinf.VinfX == 0.0 && vinf.VinfY == 0.0 && vinf.VinfZ == 0.0)
        return Status::Fail(named + " is zero: a body at rest has no pressure coefficient.");
    if (!std::isfinite(std::hypot(vinf.VinfX, vinf.VinfY, vinf.VinfZ)))
        return Status::Fail(named + " is too strong: its speed is beyond the largest number (" +
                            ShortestText(std::numeric_limits<double>::max()) + ") that can be computed.");
    return Status::Ok();
}

std::string FreeStreamText(const FreeStream& vinf) {
    return ShortestText(vinf.VinfX) + "," + ShortestText(vinf.VinfY) + "," + ShortestText(vinf.VinfZ);
}

int NormalisingExponent(const FreeStream& vinf) {
    const double largest = std::max({std::fabs(vinf.VinfX), std::fabs(vinf.VinfY), std::fabs(vinf.VinfZ)});
    if (largest == 0.0 || !std::isfinite(largest)) return 0;
    const int exponent = std::ilogb(largest);
    if (exponent >= -kOrdinaryExponent && exponent <= kOrdinaryExponent) return 0;
    return -exponent;
}

FreeStream ScaledStream(const FreeStream& vinf, int exponent) {
    return {std::ldexp(vinf.VinfX, exponent), std::ldexp(vinf.VinfY, exponent), std::ldexp(vinf.VinfZ, exponent)};
}

}  // namespace panelflow
