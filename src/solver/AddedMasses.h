// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The added masses of a body (conventions in model/BodyLoads.h) from its six unit motions:
// translations along x, y, z and rotations about the axes through the reference point R. Seen
// from the body, motion k is the onset flow -e_k (translations) or -(e_k x (C - R)) at each
// control point C (rotations); the six are solved together through the solver entry point, with
// one preparation of the matrices, and the sources' potential at the control points gives
//     m_kl = -sum over the panels of phi_k n_l A.

#include "base/Progress.h"
#include "model/BodyLoads.h"
#include "model/PanelModel.h"
#include "solver/FlowSolver.h"

namespace panelflow {

// The six unit motions about `reference`, potentials wanted.
FlowProblem UnitMotionProblem(const PanelModel& model, const Vector3& reference);

// The 6 x 6 matrix from the six solutions of UnitMotionProblem (potentials filled).
Matrix6 AddedMassMatrix(const PanelModel& model, const Vector3& reference, const SolverOutput& solved);

struct AddedMassResult {
    Status status;        // the entry point's refusal, or a zero pivot
    SolverChoice choice;  // the solver used and why
    Matrix6 matrix{};
};

// Solves the six unit motions of `model` (at least one panel) about `reference` and integrates.
// A zero pivot is a failure here: zero strengths would give zero added masses. A stop throws
// Cancelled, memory that cannot be had std::bad_alloc.
AddedMassResult AddedMasses(const PanelModel& model, const Vector3& reference, const SolveSettings& settings = {},
                            Progress* progress = nullptr);

// The moment on the body at rest in the stream `vinf` (not zero), -2 e x (A e), from the
// translation block A of `addedMass`; in units of 1/2 rho U^2 L^3.
Vector3 MunkMoment(const Matrix6& addedMass, const FreeStream& vinf);

}  // namespace panelflow
