// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The three influence matrices of Hess's method for N panels, each [0..N] x [0..N+1], row-major
// and contiguous (row 0 and column 0 unused), so that BLAS works on them in place.
//
// Panel number m = (i - 1) * NJ + j (i outer, j inner) is both the row (control point of panel m)
// and the column (source on panel m). vNorm(m, n) is the normal component at panel m of the
// velocity induced by a unit source on panel n, and its column N + 1 the right-hand side
// -(Zta_m . Vinf); uTan and vTan hold the components along Xsi_m and Ita_m (column N + 1 stays 0).
// A system with R right-hand sides has vNorm [0..N] x [0..N+R], the right-hand sides in columns
// N + 1 .. N + R. They live only while a solution is computed: 24 (N + 1)(N + 2) bytes in all for
// one right-hand side. Where the potentials are wanted, potential(m, n) [0..N] x [0..N] is the
// potential at control point m of a unit source on panel n, 8 (N + 1)^2 bytes more.

#include "base/Array.h"

namespace panelflow {

struct InfluenceMatrices {
    long N = 0;
    Array2D<double> vNorm, uTan, vTan;
    Array2D<double> potential;  // empty unless asked for
};

}  // namespace panelflow
