#include "solver/BlasKernels.h"

#include <cblas.h>
#include <unistd.h>

#include <cstdlib>
#include <string_view>

#include "base/ProcessorFeatures.h"

namespace panelflow {
namespace {

constexpr const char* kCoreTypeVariable = "OPENBLAS_CORETYPE";
constexpr const char* kAvx512Kernels = "SkylakeX";

// The library's names of the kernel sets that use AVX-512.
bool UsesAvx512(std::string_view name) {
    return name == "SkylakeX" || name == "Cooperlake" || name == "SapphireRapids";
}

}  // namespace

void SelectBlasKernels(char** argv) {
    if (std::getenv(kCoreTypeVariable) != nullptr) return;  // the user's choice, or ours already
    if (!ProcessorHasAvx512ForBlas() || UsesAvx512(BlasKernelsName())) return;
    if (::setenv(kCoreTypeVariable, kAvx512Kernels, 1) != 0) return;
    ::execv("/proc/self/exe", argv);
    ::unsetenv(kCoreTypeVariable);  // could not start again: go on with the kernels loaded
}

const char* BlasKernelsName() {
    const char* name = openblas_get_corename();
    return name != nullptr ? name : "unknown";
}

}  // namespace panelflow
