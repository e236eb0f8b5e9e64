#pragma once
// The influence matrices assembled on every core with vector instructions: per field panel, a
// sweep over the source panels kept in structure-of-arrays form, several source panels per
// instruction. The instruction set is chosen at run time for the processor (AVX-512, AVX2 or the
// SSE2 that every x86-64 has), so one binary runs anywhere. The values equal those of
// AssembleInfluenceMatricesScalar up to the last bits of the vector logarithm and arctangent.

#include "base/ProcessorFeatures.h"
#include "base/Progress.h"
#include "model/FreeStream.h"
#include "model/InfluenceMatrices.h"
#include "model/PanelModel.h"

namespace panelflow {

// Same contract as AssembleInfluenceMatrices. `instructions` other than Best is for tests and
// benchmarks and must be supported by the processor. threads = 0 uses every worker of the
// program's thread pool.
void AssembleInfluenceMatricesVector(const PanelModel& model, const FreeStream& vinf, InfluenceMatrices& solution,
                                     Progress* progress = nullptr,
                                     VectorInstructions instructions = VectorInstructions::Best,
                                     unsigned threads = 0);

}  // namespace panelflow
