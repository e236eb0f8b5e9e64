// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The line that opens every benchmark's output: the processor, the assembly's instruction set
// and OpenBLAS's kernels and threads, without which no figure can be compared.

#include <cblas.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <thread>

#include "base/ProcessorFeatures.h"
#include "solver/BlasKernels.h"

namespace panelflow::bench {

inline std::string ProcessorName() {
    std::ifstream cpuinfo("/proc/cpuinfo");
    for (std::string line; std::getline(cpuinfo, line);)
        if (line.rfind("model name", 0) == 0) return line.substr(line.find(':') + 2);
    return "unknown processor";
}

inline std::string EnvironmentLine() {
    const std::string_view instructions = VectorInstructionsName(VectorInstructions::Best);
    const char* coreType = std::getenv("OPENBLAS_CORETYPE");
    return ProcessorName() + ", " + std::to_string(std::thread::hardware_concurrency()) +
           " hardware threads, assembly with " + std::string(instructions) + ", OpenBLAS (" + BlasKernelsName() +
           " kernels" + (coreType ? std::string(", OPENBLAS_CORETYPE=") + coreType : std::string()) + ") with " +
           std::to_string(openblas_get_num_threads()) + " threads";
}

}  // namespace panelflow::bench
