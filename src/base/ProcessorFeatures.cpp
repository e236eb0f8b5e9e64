// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/ProcessorFeatures.h"

namespace panelflow {

bool ProcessorSupports(VectorInstructions instructions) {
    __builtin_cpu_init();
    switch (instructions) {
        case VectorInstructions::Avx512: return __builtin_cpu_supports("avx512f");
        case VectorInstructions::Avx2: return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
        default: return true;
    }
}

VectorInstructions WidestVectorInstructions() {
    if (ProcessorSupports(VectorInstructions::Avx512)) return VectorInstructions::Avx512;
    if (ProcessorSupports(VectorInstructions::Avx2)) return VectorInstructions::Avx2;
    return VectorInstructions::Sse2;
}

std::string_view VectorInstructionsName(VectorInstructions instructions) {
    if (instructions == VectorInstructions::Best) instructions = WidestVectorInstructions();
    switch (instructions) {
        case VectorInstructions::Avx512: return "AVX-512";
        case VectorInstructions::Avx2: return "AVX2";
        default: return "SSE2";
    }
}

bool ProcessorHasAvx512ForBlas() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512cd") &&
           __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512dq") &&
           __builtin_cpu_supports("avx512vl");
}

}  // namespace panelflow
