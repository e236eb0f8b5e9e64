// The assembly's inner loop for processors with AVX-512F: 8 source panels per step.
// Built with that instruction set's compiler flags (src/solver/CMakeLists.txt) and called only
// where the processor has it.

#include <immintrin.h>
#include <sleef.h>

#define PANELFLOW_KERNEL_NAME AssembleRowAvx512
#define PANELFLOW_KERNEL_VECTOR __m512d
#define PANELFLOW_KERNEL_SQRT(x) _mm512_mask_sqrt_pd(x, 0xFF, x)  // every lane, no undefined source
#define PANELFLOW_KERNEL_LOG Sleef_logd8_u35avx512f
#define PANELFLOW_KERNEL_ATAN Sleef_atand8_u35avx512f
#include "solver/AssemblyKernel.h"
