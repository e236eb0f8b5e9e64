// The assembly's inner loop for processors with SSE2, which every x86-64 processor has: 2 source panels per step.
// Built with that instruction set's compiler flags (src/solver/CMakeLists.txt) and called only
// where the processor has it.

#include <immintrin.h>
#include <sleef.h>

#define PANELFLOW_KERNEL_NAME AssembleRowSse2
#define PANELFLOW_KERNEL_VECTOR __m128d
#define PANELFLOW_KERNEL_SQRT(x) _mm_sqrt_pd(x)
#define PANELFLOW_KERNEL_LOG Sleef_logd2_u35sse2
#define PANELFLOW_KERNEL_ATAN Sleef_atand2_u35sse2
#include "solver/AssemblyKernel.h"
