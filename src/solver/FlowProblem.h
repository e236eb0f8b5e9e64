// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every solver is given and what it gives back: the shape of call that the dense, the
// symmetric (and later solvers) share behind the entry point (FlowSolver.h).
//
// A problem is one or more onset flows on one panel model, solved together with one preparation
// of the matrices (one assembly, one factorisation). An onset flow is the velocity that the
// sources must cancel through the surface: a free stream, uniform; or, for a body moving in fluid
// at rest and seen from the body, a velocity per control point. For each onset flow the solver
// gives the source strengths that make the normal velocity zero at every control point, and the
// tangential velocity there (onset plus every source), along the panel's Xsi and Ita; and, where
// the problem asks for them, the potential of the sources alone at every control point (the
// disturbance potential: SourcePanelPotential.h summed over the panels with their strengths),
// from the same preparation.
//
// Arrays are [0..NI] x [0..NJ], indexed (i, j) as the panel model (index 0 unused).

#include <vector>

#include "base/Array.h"
#include "model/FreeStream.h"

namespace panelflow {

struct OnsetFlow {
    FreeStream uniform;          // the velocity everywhere, where the arrays below are empty
    Array2D<double> Vx, Vy, Vz;  // or the velocity at each control point, global axes

    bool IsUniform() const { return Vx.empty(); }
    // The onset velocity at the control point of panel (i, j).
    double X(int i, int j) const { return IsUniform() ? uniform.VinfX : Vx(i, j); }
    double Y(int i, int j) const { return IsUniform() ? uniform.VinfY : Vy(i, j); }
    double Z(int i, int j) const { return IsUniform() ? uniform.VinfZ : Vz(i, j); }
};

struct FlowProblem {
    // At least one. The first is the one whose right-hand side the coefficient tables show.
    std::vector<OnsetFlow> onsets;
    // Every solver fills OnsetSolution::potential when this is set. A solver that cannot refuses
    // through the entry point; none leaves it empty.
    bool potentials = false;
};

// The problem of one free stream.
inline FlowProblem StreamProblem(const FreeStream& vinf) {
    FlowProblem problem;
    problem.onsets.emplace_back().uniform = vinf;
    return problem;
}

struct OnsetSolution {
    Array2D<double> Sigma;   // source strength of every panel
    Array2D<double> ut, vt;  // tangential velocity at the control point along Xsi and Ita
    Array2D<double> potential;  // the sources' potential at the control point; empty unless asked for
};

// What a solver gives back: one solution per onset flow, in the order of the problem's. A zero
// pivot of the elimination is no failure: the strengths are then zero and the velocities the
// onset flow's alone, and `zeroPivot` says so.
struct SolverOutput {
    std::vector<OnsetSolution> solutions;
    bool zeroPivot = false;
    long pivotStep = 0;  // the dense elimination's step k whose pivot was zero (0: not known)
};

}  // namespace panelflow
