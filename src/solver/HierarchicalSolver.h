// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The hierarchical solver: any body at 10^4 - 10^6 panels, through hierarchical matrices.
//
// The panels are grouped into a tree of clusters by the position of their control points. The
// influence of a far cluster of source panels at a cluster of control points is smooth, so its
// block of the normal-velocity matrix is stored as the product of two thin matrices, found by
// adaptive cross approximation from a few of its rows and columns; near blocks are stored whole.
// The system is solved by GMRES with products of that matrix, and the tangential velocities come
// from one product with the two tangential matrices, compressed the same way (as one complex
// matrix uTan + i vTan). Every block is filled by the dense assembly's vector kernel, its rows
// or columns on the thread pool. The matrices are those of the hmat-oss library. Memory and work
// grow as about N log N.
//
// Accuracy: `accuracy` is the relative error (Frobenius norm) allowed in every compressed block,
// and a hundredth of it the relative residual at which the iteration stops. The default keeps
// the strengths and 1 - Cp within 1e-6 of the dense solution's on smooth bodies and on bodies
// with sharp edges; the error grows about in proportion to `accuracy`, and the time and memory
// with the number of its digits.
//
// All onset flows share the two compressed matrices: one iteration each, one product for all.
// Returns a failure when an iteration does not reach the accuracy (nothing then written to
// `output`). Memory that cannot be had (the usable memory is watched while the matrices grow)
// throws std::bad_alloc; a stop asked through `progress` throws Cancelled within about a second.
// Either way nothing of `output` is written and the library's matrices are freed.

#include "base/Progress.h"
#include "base/Status.h"
#include "model/PanelModel.h"
#include "solver/FlowProblem.h"

namespace panelflow {

inline constexpr double kDefaultHierarchicalAccuracy = 1e-7;
inline constexpr double kTightestAccuracy = 1e-12, kLoosestAccuracy = 0.1;  // the range users may set
inline constexpr int kDefaultLeafSize = 128;

struct HierarchicalSettings {
    double accuracy = kDefaultHierarchicalAccuracy;
    int leafSize = kDefaultLeafSize;  // the most panels in a cluster that is not divided further
};

// What a solution took, for benchmarks.
struct HierarchicalReport {
    long iterations = 0;            // products with the normal-velocity matrix, all onsets
    double relativeResidual = 0.0;  // the largest at the end of an iteration
    double normalBytes = 0.0;       // the compressed normal-velocity matrix
    double tangentialBytes = 0.0;   // the compressed tangential matrices
};

// Solves `problem` on `model` (N >= 1, at least one onset flow).
Status HierarchicalSolve(const PanelModel& model, const FlowProblem& problem, const HierarchicalSettings& settings,
                         SolverOutput& output, Progress* progress = nullptr, HierarchicalReport* report = nullptr);

// Bytes that HierarchicalSolve is expected to take at most for NI x NJ panels and `onsets` onset
// flows, for the memory check before it starts.
double HierarchicalSolverBytes(double NI, double NJ, double onsets = 1, const HierarchicalSettings& settings = {});

}  // namespace panelflow
