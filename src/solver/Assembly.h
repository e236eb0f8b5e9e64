// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Assembly of the influence matrices (InfluenceMatrices.h) for the model's N panels: every
// ordered pair of panels, the pair of a panel with itself included, and the right-hand side of
// the free stream in column N + 1. vNorm gets `rightHandSides` columns after column N; those
// after N + 1 stay zero for the caller to fill. With `potentials`, the matrix of the panels'
// potentials is filled in the same sweep (SourcePanelPotential at every control point).
// The matrices are allocated afresh; a block that cannot be had throws std::bad_alloc before any
// is filled.
//
// Per field panel a sweep over the source panels, kept in structure-of-arrays form, several source
// panels per vector instruction, rows shared among the workers of the thread pool. The instruction
// set is chosen at run time for the processor (AVX-512, AVX2 or the SSE2 that every x86-64 has),
// so one binary runs anywhere. The values equal those of the one-pair-at-a-time loop with
// SourcePanelVelocity up to the last bits of the vector logarithm and arctangent.

#include "base/ProcessorFeatures.h"
#include "base/Progress.h"
#include "model/FreeStream.h"
#include "model/InfluenceMatrices.h"
#include "model/PanelModel.h"

namespace panelflow {

void AssembleInfluenceMatrices(const PanelModel& model, const FreeStream& vinf, InfluenceMatrices& matrices,
                               Progress* progress = nullptr, long rightHandSides = 1, bool potentials = false);

// The same with a chosen instruction set (supported by the processor) and at most `threads`
// workers (0: all); for tests and benchmarks.
void AssembleInfluenceMatricesVector(const PanelModel& model, const FreeStream& vinf, InfluenceMatrices& matrices,
                                     Progress* progress = nullptr,
                                     VectorInstructions instructions = VectorInstructions::Best,
                                     unsigned threads = 0, long rightHandSides = 1, bool potentials = false);

}  // namespace panelflow
