// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The vector instruction sets of this processor, asked once when the program runs, so that one
// binary runs anywhere and uses the widest set the processor has.

#include <string_view>

namespace panelflow {

enum class VectorInstructions { Best, Sse2, Avx2, Avx512 };

// True when this processor can run the given instruction set (Best: always). Avx512 means the
// foundation instructions; Avx2 includes FMA.
bool ProcessorSupports(VectorInstructions instructions);

// The widest set this processor runs: Avx512, Avx2 or Sse2 (never Best).
VectorInstructions WidestVectorInstructions();

// "SSE2", "AVX2" or "AVX-512".
std::string_view VectorInstructionsName(VectorInstructions instructions);

// True when the processor has the AVX-512 subsets that optimised matrix libraries' AVX-512
// kernels use (F, CD, BW, DQ, VL).
bool ProcessorHasAvx512ForBlas();

}  // namespace panelflow
