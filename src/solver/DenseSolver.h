// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The dense solver: every ordered pair of panels in three N x N influence matrices (vector kernel
// on the thread pool), Gaussian elimination without pivoting on the augmented matrix (GaussSolve,
// BLAS), and the tangential velocities as sums over every source in panel-number order. Any
// body; the only solver that has the coefficient tables. Memory 24 (N + 1)(N + 2) bytes for the
// matrices; work N^2 influences and N^3 / 3 multiply-adds.
//
// All onset flows are eliminated together, their right-hand sides in columns N + 1 .. N + R of
// the augmented matrix. The potentials, where asked for, come from a fourth matrix assembled in
// the same sweep (8 N^2 bytes more) and summed like the tangential velocities. With one uniform onset (the Hess command's free stream) every value is
// computed exactly as the one-stream driver always has, so that the results file keeps every bit.

#include <functional>

#include "base/Array.h"
#include "base/Progress.h"
#include "base/Status.h"
#include "model/FreeStream.h"
#include "model/InfluenceMatrices.h"
#include "model/PanelModel.h"
#include "solver/FlowProblem.h"
#include "solver/GaussSolve.h"

namespace panelflow {

// Writes the coefficient tables from the assembled matrices; supplied by the caller, which owns
// the file. Called with the first onset's right-hand side in column N + 1.
using CoefficientTableWriter = std::function<Status(const InfluenceMatrices& matrices, Progress* progress)>;

// The two heavy steps for a problem of one onset flow. Left empty, each is the fast routine
// (AssembleInfluenceMatrices, GaussSolve); tests put straightforward versions in their place.
struct DenseSteps {
    void (*assemble)(const PanelModel&, const FreeStream&, InfluenceMatrices&, Progress*) = nullptr;
    GaussResult (*solve)(long N, Array2D<double>& A, Array1D<double>& X, Progress*) = nullptr;
};

// Solves `problem` on `model` (N >= 1, at least one onset flow). Returns the tables' failure, if
// any (nothing then written to `output`); otherwise `output` holds one solution per onset flow.
Status DenseSolve(const PanelModel& model, const FlowProblem& problem, SolverOutput& output,
                  Progress* progress = nullptr, const CoefficientTableWriter& writeTables = {},
                  const DenseSteps& steps = {});

// Bytes that DenseSolve allocates for NI x NJ panels and `onsets` onset flows, with or without
// the potentials.
double DenseSolverBytes(double NI, double NJ, double onsets = 1, bool potentials = false);

}  // namespace panelflow
