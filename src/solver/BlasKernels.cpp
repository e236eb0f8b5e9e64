#include "solver/BlasKernels.h"

#include <cblas.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <string>

#include "base/ProcessorFeatures.h"

namespace panelflow {
namespace {

constexpr const char* kCoreTypeVariable = "OPENBLAS_CORETYPE";
constexpr const char* kAvx512Kernels = "SkylakeX";

bool UsesAvx512(std::string name) {
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name.find("skylakex") != std::string::npos || name.find("cooperlake") != std::string::npos ||
           name.find("sapphire") != std::string::npos;
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
