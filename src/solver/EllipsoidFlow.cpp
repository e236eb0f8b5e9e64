// SPDX-License-Identifier: GPL-3.0-or-later
#include "solver/EllipsoidFlow.h"

#include <cmath>

namespace panelflow {
namespace {

// Nodes and weights of the 8-point Gauss-Legendre rule on [-1, 1] (the positive half).
constexpr double kNodes[4] = {0.1834346424956498, 0.5255324099163290, 0.7966664774136267, 0.9602898564975363};
constexpr double kWeights[4] = {0.3626837833783620, 0.3137066458778873, 0.2223810344533745, 0.1012285362903763};
constexpr int kIntervals = 256;

// abc Int_0^inf dl / ((s^2 + l) D(l)) with l = m (t / (1 - t))^2, m the largest squared semi-axis:
// the integrand in t is smooth on [0, 1] (it falls as (1 - t)^2 towards t = 1).
double Coefficient(const Ellipsoid& e, double s) {
    const double a2 = e.a * e.a, b2 = e.b * e.b, c2 = e.c * e.c;
    const double m = std::fmax(a2, std::fmax(b2, c2));
    const auto integrand = [&](double t) {
        const double q = t / (1.0 - t);
        const double l = m * q * q;
        const double dl = 2.0 * m * q / ((1.0 - t) * (1.0 - t));
        return dl / ((s * s + l) * std::sqrt((a2 + l) * (b2 + l) * (c2 + l)));
    };
    double sum = 0.0;
    const double h = 1.0 / kIntervals;
    for (int k = 0; k < kIntervals; ++k) {
        const double middle = (k + 0.5) * h;
        for (int n = 0; n < 4; ++n) {
            const double offset = 0.5 * h * kNodes[n];
            sum += 0.5 * h * kWeights[n] * (integrand(middle - offset) + integrand(middle + offset));
        }
    }
    return e.a * e.b * e.c * sum;
}

}  // namespace

ShapeCoefficients EllipsoidShapeCoefficients(const Ellipsoid& body) {
    return {Coefficient(body, body.a), Coefficient(body, body.b), Coefficient(body, body.c)};
}

double ExactOneMinusCp(const Ellipsoid& e, const ShapeCoefficients& shape, const FreeStream& vinf, double x,
                       double y, double z) {
    // The surface point on the ray through (x, y, z), and the normal there (the gradient).
    double dx = x - e.xCentre, dy = y - e.yCentre, dz = z - e.zCentre;
    const double scale = 1.0 / std::sqrt(dx * dx / (e.a * e.a) + dy * dy / (e.b * e.b) + dz * dz / (e.c * e.c));
    dx *= scale, dy *= scale, dz *= scale;
    double nx = dx / (e.a * e.a), ny = dy / (e.b * e.b), nz = dz / (e.c * e.c);
    const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
    nx /= length, ny /= length, nz /= length;

    const double Wx = 2.0 / (2.0 - shape.alpha0) * vinf.VinfX;
    const double Wy = 2.0 / (2.0 - shape.beta0) * vinf.VinfY;
    const double Wz = 2.0 / (2.0 - shape.gamma0) * vinf.VinfZ;
    const double normal = Wx * nx + Wy * ny + Wz * nz;
    const double tx = Wx - normal * nx, ty = Wy - normal * ny, tz = Wz - normal * nz;
    const double U2 = vinf.VinfX * vinf.VinfX + vinf.VinfY * vinf.VinfY + vinf.VinfZ * vinf.VinfZ;
    return (tx * tx + ty * ty + tz * tz) / U2;
}

SpheroidAddedMass ProlateSpheroidAddedMass(double a, double b) {
    SpheroidAddedMass m;
    const double e2 = 1.0 - (b * b) / (a * a), e = std::sqrt(e2);
    m.alpha0 = 2.0 * (1.0 - e2) / (e2 * e) * (std::atanh(e) - e);
    m.beta0 = 1.0 / e2 - (1.0 - e2) / (e2 * e) * std::atanh(e);
    m.k1 = m.alpha0 / (2.0 - m.alpha0);
    m.k2 = m.beta0 / (2.0 - m.beta0);
    const double difference = m.beta0 - m.alpha0;
    m.kPrime = e2 * e2 * difference / ((2.0 - e2) * (2.0 * e2 - (2.0 - e2) * difference));
    return m;
}

Vector3 SphereVelocity(const Vector3& centre, double radius, const FreeStream& vinf, const Vector3& point) {
    const Vector3 r{point[0] - centre[0], point[1] - centre[1], point[2] - centre[2]};
    const Vector3 U{vinf.VinfX, vinf.VinfY, vinf.VinfZ};
    const double r2 = r[0] * r[0] + r[1] * r[1] + r[2] * r[2], r1 = std::sqrt(r2);
    const double a3 = radius * radius * radius, Ur = U[0] * r[0] + U[1] * r[1] + U[2] * r[2];
    const double along = 1.0 + a3 / (2.0 * r2 * r1), across = 3.0 * a3 * Ur / (2.0 * r2 * r2 * r1);
    return {U[0] * along - across * r[0], U[1] * along - across * r[1], U[2] * along - across * r[2]};
}

}  // namespace panelflow
