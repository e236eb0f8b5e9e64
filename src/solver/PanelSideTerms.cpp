// SPDX-License-Identifier: GPL-3.0-or-later
#include "solver/PanelSideTerms.h"

#include <cmath>

namespace panelflow {
namespace {

// x - y exactly, as the unevaluated sum hi + lo.
struct Exact {
    double hi, lo;
};
Exact Difference(double x, double y) {
    const double hi = x - y;
    const double minusY = hi - x;  // -y as it went into hi
    return {hi, (x - (hi - minusY)) - (y + minusY)};
}

// (xi_k' - xi_k)(eta_k - y) - (eta_k' - eta_k)(xi_k - x), that is h d, within a few ulps. Where the
// two products do not nearly cancel, as directly; else from the differences and products split
// exactly into sums hi + lo, within an ulp of the result plus a few ulps of the products' squared
// rounding.
double SideCrossProduct(double xsiK, double itaK, double xsiK1, double itaK1, double x, double y) {
    const double p = (xsiK1 - xsiK) * (itaK - y), s = (itaK1 - itaK) * (xsiK - x);
    if (std::fabs(p - s) >= 0.5 * (std::fabs(p) + std::fabs(s))) return p - s;

    const Exact dXsi = Difference(xsiK1, xsiK), dIta = Difference(itaK1, itaK);
    const Exact toStartXsi = Difference(xsiK, x), toStartIta = Difference(itaK, y);
    const double pHi = dXsi.hi * toStartIta.hi, sHi = dIta.hi * toStartXsi.hi;
    const double pError = std::fma(dXsi.hi, toStartIta.hi, -pHi), sError = std::fma(dIta.hi, toStartXsi.hi, -sHi);
    const Exact leading = Difference(pHi, sHi);
    const double tail = leading.lo + (pError - sError) + (dXsi.hi * toStartIta.lo + dXsi.lo * toStartIta.hi) -
                        (dIta.hi * toStartXsi.lo + dIta.lo * toStartXsi.hi) +
                        (dXsi.lo * toStartIta.lo - dIta.lo * toStartXsi.lo);
    return leading.hi + tail;
}

}  // namespace

// The terms of one side, in the side's own frame: t along the side from corner k to corner k',
// n in the panel's plane towards the panel, zeta the normal. Seen from the foot F of the
// perpendicular from the point P to the plane, corner k lies at a along t and -h along n, corner
// k' at b = a + d; P stands |z| above F. Then r^2 = a^2 + rho^2 and r'^2 = b^2 + rho^2, where
// rho^2 = h^2 + z^2 is the square of P's distance from the side's line.
//
// Logarithm. L = ln((r + r' + d) / (r + r' - d)), the integral of 1 / |P - Q| along the side.
// With S = r + r', S^2 - d^2 = r^2 + r'^2 + 2 r r' - (b - a)^2 = 2 Q, where
//     Q = r r' + a b + rho^2,
// so that r + r' - d = 2 Q / (S + d). Q carries no cancellation: where a b >= 0 its terms are
// all >= 0; where a b < 0 (the foot lies between the corners), (r r')^2 - (a b)^2 =
// rho^2 (a^2 + b^2 + rho^2) turns it into
//     Q = rho^2 (a^2 + b^2 + rho^2 + r r' - a b) / (r r' - a b),
// sums of terms >= 0 again. (Formed as S - d, it keeps nothing of rho once rho^2 falls below the
// rounding of d.)
//
// Angle. The panel's solid angle is the sum over its sides of the signed solid angles of the
// triangles (F, corner k, corner k'). A triangle whose corners lie at R1, R2, R3 from P subtends
//     tan(Omega / 2) = [R1 R2 R3] / (|R1||R2||R3| + (R1.R2)|R3| + (R1.R3)|R2| + (R2.R3)|R1|).
// With R1 = F - P (|R1| = |z|, R1.R2 = R1.R3 = z^2), R2.R3 = a b + rho^2 and the triple product
// z h d, the factor |z| cancels:
//     tan(Omega_k / 2) = sign(z) h d / (Q + |z| S).
// The denominator is >= 0, so Omega_k is a plain arctangent, with no quadrant to choose. It
// equals the angle that the side subtends at F (these add up to 2 Pi inside the panel, 0 beside
// it) less the textbook side angle arctan(b |z| / (h r')) - arctan(a |z| / (h r)). Combined into
// one arctangent, that difference needs branch rules on the signs of h, of a b z^2 + h^2 r r' and
// of b r - a r', and the last loses every digit near the side's line beyond a corner, where a
// wrong sign puts the angle off by Pi. Omega_k is smooth on both sides of the plane, over the
// side's line (h = 0 gives 0) and over the corners.
//
// Digits. h d, the cross product of the side with the corner's offset from P, is computed to a
// few ulps of itself from the input doubles (differences and products split exactly where its
// two products nearly cancel), so that a point a hair's breadth from the side's line keeps the
// digits of h that the angle and the logarithm need there. a and b err by a few ulps of the
// distance from their own corner, which only ever adds to terms at least as large. So each side's
// terms are good to a few ulps of themselves.
//
// The same terms make up the panel's potential: the integral of 1 / |P - Q| over the panel is
// the sum over the sides of h L, less |z| times the panel's solid angle. A side whose line
// passes through the foot (h = 0) adds nothing, also where L is infinite (P on the side itself).
SideTerms Side(double xsiK, double itaK, double xsiK1, double itaK1, double x, double y, double z) {
    const double dXsi = xsiK1 - xsiK, dIta = itaK1 - itaK;
    const double toStartXsi = xsiK - x, toStartIta = itaK - y, toEndXsi = xsiK1 - x, toEndIta = itaK1 - y;
    const double d = std::sqrt(dXsi * dXsi + dIta * dIta);

    const double r = std::sqrt(toStartXsi * toStartXsi + toStartIta * toStartIta + z * z);
    const double rPrime = std::sqrt(toEndXsi * toEndXsi + toEndIta * toEndIta + z * z);
    const double a = (dXsi * toStartXsi + dIta * toStartIta) / d;
    const double b = (dXsi * toEndXsi + dIta * toEndIta) / d;
    const double hd = SideCrossProduct(xsiK, itaK, xsiK1, itaK1, x, y);
    const double h = hd / d;

    const double rho2 = h * h + z * z;
    const double rr = r * rPrime, ab = a * b;
    const double Q = ab >= 0.0 ? rr + ab + rho2 : rho2 * (a * a + b * b + rho2 + (rr - ab)) / (rr - ab);
    const double S = r + rPrime;
    const double L = std::log((S + d) * (S + d) / (Q + Q));
    const double Omega = 2.0 * std::atan(hd / (Q + std::fabs(z) * S));
    return {d, h, L, Omega};
}

}  // namespace panelflow
