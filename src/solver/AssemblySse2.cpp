// SPDX-License-Identifier: GPL-3.0-or-later
// The assembly's inner loop for processors with SSE2, which every x86-64 processor has: 2 source panels per step.
// Built with that instruction set's compiler flags (src/solver/CMakeLists.txt) and called only
// where the processor has it.

#include <immintrin.h>

#define PANELFLOW_KERNEL_NAME AssembleRowSse2
#define PANELFLOW_KERNEL_COLUMN_NAME AssembleColumnSse2
#define PANELFLOW_KERNEL_POTENTIAL_NAME AssembleRowWithPotentialSse2
#define PANELFLOW_KERNEL_MATH_NAME QuotientMathSse2
#define PANELFLOW_KERNEL_SIDE_LOG_NAME SideLogarithmSse2
#define PANELFLOW_KERNEL_VECTOR __m128d
#define PANELFLOW_KERNEL_SQRT(x) _mm_sqrt_pd(x)
#define PANELFLOW_KERNEL_FMA(a, b, c) _mm_add_pd(_mm_mul_pd(a, b), c)  // no fused form in SSE2
#define PANELFLOW_KERNEL_ANY(m) (_mm_movemask_pd(reinterpret_cast<__m128d>(m)) != 0)
#include "solver/AssemblyKernel.h"
