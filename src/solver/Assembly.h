#pragma once
// Assembly of the influence matrices (InfluenceMatrices.h) for the model's N panels: every
// ordered pair of panels, the pair of a panel with itself included, and the right-hand side.
// Both routines allocate the matrices afresh; a block that cannot be had throws std::bad_alloc
// before any is filled.

#include "base/Progress.h"
#include "model/FreeStream.h"
#include "model/InfluenceMatrices.h"
#include "model/PanelModel.h"

namespace panelflow {

// The fast assembly: vector instructions on every core (AssemblyVector.h).
void AssembleInfluenceMatrices(const PanelModel& model, const FreeStream& vinf, InfluenceMatrices& matrices,
                               Progress* progress = nullptr);

// The same, one pair of panels at a time: the reference that the fast assembly is checked
// against.
void AssembleInfluenceMatricesScalar(const PanelModel& model, const FreeStream& vinf, InfluenceMatrices& matrices,
                                     Progress* progress = nullptr);

}  // namespace panelflow
