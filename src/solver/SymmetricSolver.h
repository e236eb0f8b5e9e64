// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The symmetric solver, for a body of revolution made by the program (PanelModel::
// BodyOfRevolution): every column of panels is the first one turned about x by a multiple of
// 2 Pi / NJ, so the influence of panel (i', j') at the control point of panel (i, j), taken in
// the field panel's own axes, depends only on i, i' and (j' - j) mod NJ. The three influence
// matrices are block-circulant, and the discrete Fourier transform around the body splits the
// system of N = NI NJ unknowns into NJ independent systems of NI unknowns, one per mode
// k = 0 .. NJ - 1, of which a real problem needs k <= NJ / 2 only.
//
//   A^_k(i, i') = sum over q of A((i, q), (i', 0)) exp(-2 Pi i k q / NJ)      (q, p: columns from 0)
//   B_k(i)      = (1 / NJ) sum over p of b(i, p) exp(-2 Pi i k p / NJ)
//   A^_k S_k = B_k,   sigma(i, p) = sum over k of S_k(i) exp(2 Pi i k p / NJ)
//
// and the tangential velocities the same way with U^_k and V^_k. A free stream excites the modes
// 0 and 1 only (the axial stream mode 0 alone), and so do a body's translations and rotations:
// the solver finds which modes each onset flow has (a mode counts when its coefficient exceeds
// 1e-12 of the largest right-hand side; the rest is rounding of the panel geometry), transforms
// only those, and solves each mode's system once for every onset flow, by LU with partial
// pivoting from LAPACK.
//
// One sweep computes the influences of the NI source panels of column 1 at every control point
// (the vector kernel on the thread pool, the same values as the dense solver's), summing them
// straight into the transforms: NI x N pairs, no block row kept. Memory: three NI x NI matrices
// per mode (complex but for modes 0 and NJ / 2), work O(NI^2 NJ) for the influences and O(NI^3)
// per mode for the systems. An exactly singular mode system counts as a zero pivot.
//
// The potentials, where the problem asks for them, come the same way: the panels' potential at
// the control points (a scalar, so as invariant under the turns as the velocities' components in
// the field panel's axes) is transformed into a fourth matrix P^_k per mode beside A^, U^, V^ in
// the same sweep, and P^_k S_k turned back around the body like the tangential velocities.

#include "base/Progress.h"
#include "base/Status.h"
#include "model/PanelModel.h"
#include "solver/FlowProblem.h"

namespace panelflow {

// Solves `problem` on `model` (a body of revolution with N >= 1 panels, at least one onset
// flow) into `output`.
Status SymmetricSolve(const PanelModel& model, const FlowProblem& problem, SolverOutput& output,
                      Progress* progress = nullptr);

// Bytes that SymmetricSolve allocates for NI x NJ panels and `onsets` onset flows, with or
// without the potentials, when the onset flows excite modes 0 and 1 (every free stream and rigid
// motion).
double SymmetricSolverBytes(double NI, double NJ, double onsets = 1, bool potentials = false);

}  // namespace panelflow
