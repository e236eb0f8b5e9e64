// SPDX-License-Identifier: GPL-3.0-or-later
// The assembly's inner loop for processors with AVX-512F: 8 source panels per step.
// Built with that instruction set's compiler flags (src/solver/CMakeLists.txt) and called only
// where the processor has it.

#include <immintrin.h>

#define PANELFLOW_KERNEL_NAME AssembleRowAvx512
#define PANELFLOW_KERNEL_COLUMN_NAME AssembleColumnAvx512
#define PANELFLOW_KERNEL_POTENTIAL_NAME AssembleRowWithPotentialAvx512
#define PANELFLOW_KERNEL_MATH_NAME QuotientMathAvx512
#define PANELFLOW_KERNEL_SIDE_LOG_NAME SideLogarithmAvx512
#define PANELFLOW_KERNEL_VECTOR __m512d
#define PANELFLOW_KERNEL_SQRT(x) _mm512_mask_sqrt_pd(x, 0xFF, x)  // every lane, no undefined source
#define PANELFLOW_KERNEL_FMA(a, b, c) _mm512_fmadd_pd(a, b, c)
#define PANELFLOW_KERNEL_ANY(m) (_mm512_test_epi64_mask(reinterpret_cast<__m512i>(m), reinterpret_cast<__m512i>(m)) != 0)
#include "solver/AssemblyKernel.h"
