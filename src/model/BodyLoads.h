// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the flow about a body is computed for, beside the surface pressure: the pressure force and
// moment of the free stream's solution, the added masses of the body's six unit motions, the
// Munk moment, and the displaced fluid they are compared with.
//
// Conventions, once for every user:
// - Global axes and the body's own length unit L; the fluid's density is 1 and the free stream's
//   speed U = |Vinf|. The outward normal n is each panel's Zta.
// - The reference point R is where the moments, the rotations and the moments of inertia are
//   taken: unless the caller names one, the centroid of the panels' control points weighted by
//   their areas (the middle of a body symmetric fore and aft).
// - force = -sum of Cp n A over the panels, moment = -sum of Cp (C - R) x n A (C the control
//   point, A the area), in units of 1/2 rho U^2 L^2 and 1/2 rho U^2 L^3: the pressure alone.
//   A closed body in potential flow feels no force (d'Alembert); what the panels give is
//   discretisation error, and dalembertResidual = |force| / wettedArea says how large.
// - addedMass(k, l), k, l = 0..5 (translations along x, y, z, then rotations about the axes
//   through R parallel to x, y, z): -rho times the integral of phi_k n_l over the surface, where
//   phi_k is the potential of the body's unit motion k in fluid at rest and n_l the generalised
//   normal (n, then (C - R) x n). Units rho L^3 in the translation block, rho L^4 in the coupling
//   blocks, rho L^5 in the rotation block. Symmetric up to the discretisation error; given as
//   computed.
// - munkMoment: the moment on the body at rest in the stream, from the translation block A:
//   -U x (A U), here as -2 e x (A e) with e = Vinf / U, in units of 1/2 rho U^2 L^3 like
//   `moment`, which it must match. Positive about z turns +x towards +y.
// - k1 = m11 / (rho V), k2 = (m22 + m33) / (2 rho V), kPrime = (m55 + m66) / (Iyy + Izz), with V
//   the displaced volume and I the displaced fluid's moments of inertia about the axes through
//   R: for a body of revolution about x (Lamb's coefficients), NaN for any other.

#include <array>
#include <string>

#include "model/Vector3.h"

namespace panelflow {

using Matrix6 = std::array<std::array<double, 6>, 6>;

struct BodyLoads {
    Vector3 referencePoint{};
    Vector3 freeStream{};
    Vector3 force{}, moment{};
    double wettedArea = 0.0;
    double dalembertResidual = 0.0;
    Matrix6 addedMass{};
    Vector3 munkMoment{};
    double displacedVolume = 0.0;
    Vector3 inertia{};  // Ixx, Iyy, Izz of the displaced fluid about the axes through R
    bool bodyOfRevolution = false;
    double k1 = 0.0, k2 = 0.0, kPrime = 0.0;
    std::string solver;  // the solver of the six unit motions, and why ("dense: ...")
};

}  // namespace panelflow
