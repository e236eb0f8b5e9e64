#pragma once
// The influence matrices assembled on every core with vector instructions: per field panel, a
// sweep over the source panels kept in structure-of-arrays form, several source panels per
// instruction. The instruction set is chosen at run time for the processor (AVX-512, AVX2 or the
// SSE2 that every x86-64 has), so one binary runs anywhere. The values equal those of
// AssembleInfluenceMatricesScalar up to the last bits of the vector logarithm and arctangent.

#include <string_view>

#include "solver/HessSolve.h"

namespace panelflow {

enum class VectorInstructions { Best, Sse2, Avx2, Avx512 };

// True when this processor can run the given instruction set (Best: always).
bool ProcessorSupports(VectorInstructions instructions);

// "SSE2", "AVX2" or "AVX-512": the set that Best selects on this processor.
std::string_view BestVectorInstructions();

// Same contract as AssembleInfluenceMatrices. `instructions` other than Best is for tests and
// benchmarks and must be supported by the processor. threads = 0 uses every core.
void AssembleInfluenceMatricesVector(const PanelModel& model, const FreeStream& vinf, Solution& solution,
                                     Progress* progress = nullptr,
                                     VectorInstructions instructions = VectorInstructions::Best,
                                     unsigned threads = 0);

}  // namespace panelflow
