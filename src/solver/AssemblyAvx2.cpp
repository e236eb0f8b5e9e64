// The assembly's inner loop for processors with AVX2 and FMA: 4 source panels per step.
// Built with that instruction set's compiler flags (src/solver/CMakeLists.txt) and called only
// where the processor has it.

#include <immintrin.h>
#include <sleef.h>

#define PANELFLOW_KERNEL_NAME AssembleRowAvx2
#define PANELFLOW_KERNEL_VECTOR __m256d
#define PANELFLOW_KERNEL_SQRT(x) _mm256_sqrt_pd(x)
#define PANELFLOW_KERNEL_LOG Sleef_logd4_u35avx2
#define PANELFLOW_KERNEL_ATAN Sleef_atand4_u35avx2
#include "solver/AssemblyKernel.h"
