// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The exact potential flow about an ellipsoid x^2/a^2 + y^2/b^2 + z^2/c^2 = 1 (centred at a given
// point, axes along x, y, z) in a uniform stream, as a reference for the panel method.
//
// The ellipsoid's shape coefficients are
//   alpha0 = a b c Int_0^inf dl / ((a^2 + l) D(l)),  D(l) = sqrt((a^2 + l)(b^2 + l)(c^2 + l)),
// and beta0, gamma0 likewise with b^2, c^2 in the first factor; they add up to 2, and each is 2/3
// for a sphere. On the surface the velocity is the tangential part of the stream with each
// component magnified: W = (2 / (2 - alpha0) Ux, 2 / (2 - beta0) Uy, 2 / (2 - gamma0) Uz), so
// 1 - Cp = |W - (W.n) n|^2 / |U|^2 with n the unit normal.

#include "model/FreeStream.h"
#include "model/Vector3.h"

namespace panelflow {

struct Ellipsoid {
    double a = 0.5, b = 0.5, c = 0.5;             // semi-axes along x, y, z
    double xCentre = 0.0, yCentre = 0.0, zCentre = 0.0;
};

struct ShapeCoefficients {
    double alpha0 = 0.0, beta0 = 0.0, gamma0 = 0.0;
};

// The three coefficients by Gauss-Legendre quadrature over the whole range of l (mapped onto
// [0, 1)), to about 1e-13.
ShapeCoefficients EllipsoidShapeCoefficients(const Ellipsoid& body);

// Exact 1 - Cp at the surface point that lies on the ray from the centre through (x, y, z): the
// control points of the panels lie slightly inside the surface, and this is where their flow is
// compared. (x, y, z) must not be the centre.
double ExactOneMinusCp(const Ellipsoid& body, const ShapeCoefficients& shape, const FreeStream& vinf, double x,
                       double y, double z);

// Lamb's added-mass coefficients of a prolate spheroid with semi-axes a > b = c (axis along x),
// from the closed forms of its shape coefficients, e = sqrt(1 - b^2 / a^2) the eccentricity:
//   alpha0 = 2 (1 - e^2) / e^3 (atanh(e) - e),   beta0 = 1 / e^2 - (1 - e^2) / e^3 atanh(e),
//   k1 = alpha0 / (2 - alpha0),   k2 = beta0 / (2 - beta0),
//   k' = e^4 (beta0 - alpha0) / ((2 - e^2) (2 e^2 - (2 - e^2) (beta0 - alpha0))):
// the added masses along and across the axis over the displaced mass, and the added moment of
// inertia about a transverse axis through the centre over the displaced fluid's.
struct SpheroidAddedMass {
    double alpha0 = 0.0, beta0 = 0.0;
    double k1 = 0.0, k2 = 0.0, kPrime = 0.0;
};
SpheroidAddedMass ProlateSpheroidAddedMass(double a, double b);

// The exact velocity at `point`, outside the sphere of radius `radius` about `centre`, in the
// stream `vinf`: U (1 + a^3 / (2 r^3)) - 3 a^3 (U . r) r / (2 r^5), r measured from the centre.
Vector3 SphereVelocity(const Vector3& centre, double radius, const FreeStream& vinf, const Vector3& point);

}  // namespace panelflow
