// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Test helper: the velocity that a unit source density on a flat panel induces at a point,
// (1 / 4 Pi) times the integral over the panel of (P - Q) / |P - Q|^3, by composite
// Gauss-Legendre quadrature on the bilinear map of the unit square onto the corners Q1..Q4
// (a triangle is the quadrilateral with two equal corners). Independent of the closed form;
// accurate to about 1e-9 for points at least a tenth of the panel's size away from it.

#include <array>
#include <cmath>

namespace panelflow::testing {

using Vec3 = std::array<double, 3>;

inline Vec3 QuadratureVelocity(const std::array<Vec3, 4>& corner, const Vec3& P, int cells = 40) {
    static const double node[5] = {-0.9061798459386640, -0.5384693101056831, 0.0, 0.5384693101056831,
                                   0.9061798459386640};
    static const double weight[5] = {0.2369268850561891, 0.4786286704993665, 0.5688888888888889,
                                     0.4786286704993665, 0.2369268850561891};
    const Vec3 &Q1 = corner[0], &Q2 = corner[1], &Q3 = corner[2], &Q4 = corner[3];
    Vec3 sum{0.0, 0.0, 0.0};
    for (int cs = 0; cs < cells; ++cs) {
        for (int ct = 0; ct < cells; ++ct) {
            for (int a = 0; a < 5; ++a) {
                for (int b = 0; b < 5; ++b) {
                    const double s = (cs + 0.5 * (node[a] + 1.0)) / cells;
                    const double t = (ct + 0.5 * (node[b] + 1.0)) / cells;
                    Vec3 Q, dQds, dQdt;
                    for (int c = 0; c < 3; ++c) {
                        Q[c] = (1 - s) * (1 - t) * Q1[c] + s * (1 - t) * Q2[c] + s * t * Q3[c] + (1 - s) * t * Q4[c];
                        dQds[c] = (1 - t) * (Q2[c] - Q1[c]) + t * (Q3[c] - Q4[c]);
                        dQdt[c] = (1 - s) * (Q4[c] - Q1[c]) + s * (Q3[c] - Q2[c]);
                    }
                    const double nx = dQds[1] * dQdt[2] - dQds[2] * dQdt[1];
                    const double ny = dQds[2] * dQdt[0] - dQds[0] * dQdt[2];
                    const double nz = dQds[0] * dQdt[1] - dQds[1] * dQdt[0];
                    const double jacobian = std::sqrt(nx * nx + ny * ny + nz * nz);
                    const Vec3 d{P[0] - Q[0], P[1] - Q[1], P[2] - Q[2]};
                    const double r = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
                    const double f = weight[a] * weight[b] * 0.25 / (cells * cells) * jacobian / (r * r * r);
                    for (int c = 0; c < 3; ++c) sum[c] += f * d[c];
                }
            }
        }
    }
    const double fourPi = 16.0 * std::atan(1.0);
    return {sum[0] / fourPi, sum[1] / fourPi, sum[2] / fourPi};
}

}  // namespace panelflow::testing
