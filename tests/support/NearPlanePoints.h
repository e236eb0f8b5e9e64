// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Test support: random flat panels (triangles and convex quadrilaterals of random size, in their
// own axes, corners clockwise seen from +zeta) with points a hair's breadth off their plane, and
// the velocity and the potential at each point evaluated in quadruple precision from the same
// input doubles.
//
// The points stand 1e-3 ... 1e-15 panel sizes off the plane on both sides: over each side's line
// (between the corners, on its extensions, shifted across it by as much as their height or not
// at all), over the corners and over the interior. The quadruple-precision velocity is the closed
// form written plainly, side by side: the angle as the difference of two arctangents
// arctan(b |z| / (h r')) - arctan(a |z| / (h r)), 2 Pi less their sum inside the panel and 0 less
// it beside it, and the logarithm as the integral along the side, asinh(b / rho) - asinh(a / rho);
// the potential -(sum of h L less |z| times the solid angle) / (4 Pi). In 113 bits the rounding
// stays below 1e-25 (times the panel's size for the potential) for these points.

#include <quadmath.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <vector>

namespace panelflow::testing {

struct NearPlaneCase {
    int n;                        // 3 or 4 corners
    std::array<double, 5> xsi, ita;  // corners 1..n, entry 0 unused
    double x, y, z;
    double u, v, w;  // in quadruple precision, rounded
    double phi;      // likewise
};

inline std::array<double, 4> QuadrupleInfluence(int n, const double* xsi, const double* ita, double x, double y,
                                               double z) {
    using Q = __float128;
    const Q pi = 4 * atanq(1), absZ = fabsq(z);
    Q Su = 0, Sv = 0, Stheta = 0, ShL = 0;
    bool inside = true;
    for (int k = 1; k <= n; ++k) {
        const int k1 = k == n ? 1 : k + 1;
        const Q dXsi = Q(xsi[k1]) - Q(xsi[k]), dIta = Q(ita[k1]) - Q(ita[k]);
        const Q d = sqrtq(dXsi * dXsi + dIta * dIta);
        const Q X = Q(xsi[k]) - Q(x), Y = Q(ita[k]) - Q(y), X1 = Q(xsi[k1]) - Q(x), Y1 = Q(ita[k1]) - Q(y);
        const Q a = (dXsi * X + dIta * Y) / d, b = (dXsi * X1 + dIta * Y1) / d;
        Q h = (dXsi * Y - dIta * X) / d;
        if (h == 0) h = 0;  // +0: exactly over the line counts as the panel's side, as its limit
        const Q r = sqrtq(X * X + Y * Y + Q(z) * z), r1 = sqrtq(X1 * X1 + Y1 * Y1 + Q(z) * z);
        const Q rho = sqrtq(h * h + Q(z) * z);
        const Q L = asinhq(b / rho) - asinhq(a / rho);
        Su -= dIta * L / d;
        Sv += dXsi * L / d;
        ShL += h * L;
        Stheta += atanq(b * absZ / (h * r1)) - atanq(a * absZ / (h * r));
        if (h < 0) inside = false;
    }
    const Q Omega = (inside ? 2 * pi : 0) - Stheta;
    const Q fourPi = 4 * pi;
    return {double(Su / fourPi), double(Sv / fourPi), double((z < 0 ? -Omega : Omega) / fourPi),
            double(-(ShL - absZ * Omega) / fourPi)};
}

// `panels` random panels, each with its points; the same cases for the same seed.
inline std::vector<NearPlaneCase> NearPlaneCases(int panels, unsigned seed) {
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    std::vector<NearPlaneCase> cases;
    for (int p = 0; p < panels; ++p) {
        NearPlaneCase c{};
        c.n = p % 2 == 0 ? 3 : 4;
        const double size = std::pow(10.0, 6.0 * uniform(random) - 3.0);
        const double start = 6.283185307179586 * uniform(random);
        const std::array<double, 2> centre{size * (uniform(random) - 0.5), size * (uniform(random) - 0.5)};
        for (int k = 1; k <= c.n; ++k) {  // decreasing angles: clockwise
            const double angle = start - 6.283185307179586 * (k - 1 + 0.4 * uniform(random)) / c.n;
            const double radius = size * (0.3 + 0.7 * uniform(random));
            c.xsi[k] = centre[0] + radius * std::cos(angle);
            c.ita[k] = centre[1] + radius * std::sin(angle);
        }
        // In-plane places: along each side's line and inside; the unit vector of the shift (across
        // the line; any way at a corner, where the shift is never 0; none inside).
        struct Place {
            double x, y, shiftX, shiftY;
            bool corner;
        };
        std::vector<Place> places;
        for (int k = 1; k <= c.n; ++k) {
            const int k1 = k == c.n ? 1 : k + 1;
            const double dx = c.xsi[k1] - c.xsi[k], dy = c.ita[k1] - c.ita[k], d = std::hypot(dx, dy);
            for (const double t : {-1.3, -0.2, 0.3 * uniform(random), 0.5, 1.0 - 0.3 * uniform(random), 1.7})
                places.push_back({c.xsi[k] + t * dx, c.ita[k] + t * dy, -dy / d, dx / d, false});
            const double angle = 6.283185307179586 * uniform(random);
            places.push_back({c.xsi[k], c.ita[k], std::cos(angle), std::sin(angle), true});
        }
        double cx = 0.0, cy = 0.0;
        for (int k = 1; k <= c.n; ++k) cx += c.xsi[k] / c.n, cy += c.ita[k] / c.n;
        places.push_back({cx, cy, 0.0, 0.0, false});
        places.push_back({0.5 * (cx + c.xsi[1]), 0.5 * (cy + c.ita[1]), 0.0, 0.0, false});

        for (int e = 3; e <= 15; ++e) {
            const double height = size * std::pow(10.0, -e);
            for (const Place& place : places) {
                const double shift = place.corner ? height * (0.1 + uniform(random))
                                     : uniform(random) < 0.5 ? 0.0
                                                              : (uniform(random) < 0.5 ? -height : height);
                c.x = place.x + shift * place.shiftX;
                c.y = place.y + shift * place.shiftY;
                c.z = uniform(random) < 0.5 ? -height : height;
                const auto V = QuadrupleInfluence(c.n, c.xsi.data(), c.ita.data(), c.x, c.y, c.z);
                c.u = V[0], c.v = V[1], c.w = V[2], c.phi = V[3];
                cases.push_back(c);
            }
        }
    }
    return cases;
}

// The cases that the tests share: 100 panels of seed 18, made once.
inline const std::vector<NearPlaneCase>& SharedNearPlaneCases() {
    static const std::vector<NearPlaneCase> cases = NearPlaneCases(100, 18);
    return cases;
}

}  // namespace panelflow::testing
