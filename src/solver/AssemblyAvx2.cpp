// SPDX-License-Identifier: GPL-3.0-or-later
// The assembly's inner loop for processors with AVX2 and FMA: 4 source panels per step.
// Built with that instruction set's compiler flags (src/solver/CMakeLists.txt) and called only
// where the processor has it.

#include <immintrin.h>

#define PANELFLOW_KERNEL_NAME AssembleRowAvx2
#define PANELFLOW_KERNEL_COLUMN_NAME AssembleColumnAvx2
#define PANELFLOW_KERNEL_POTENTIAL_NAME AssembleRowWithPotentialAvx2
#define PANELFLOW_KERNEL_MATH_NAME QuotientMathAvx2
#define PANELFLOW_KERNEL_SIDE_LOG_NAME SideLogarithmAvx2
#define PANELFLOW_KERNEL_VECTOR __m256d
#define PANELFLOW_KERNEL_SQRT(x) _mm256_sqrt_pd(x)
#define PANELFLOW_KERNEL_FMA(a, b, c) _mm256_fmadd_pd(a, b, c)
#define PANELFLOW_KERNEL_ANY(m) (_mm256_movemask_pd(reinterpret_cast<__m256d>(m)) != 0)
#include "solver/AssemblyKernel.h"
