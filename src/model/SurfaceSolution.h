// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a solution leaves on the surface, per panel (i, j), [0..NI] x [0..NJ] (index 0 unused):
// the source strength Sigma; the surface velocity at the control point in global axes (Vx, Vy,
// Vz: the free stream plus every source, tangential to the panel); and 1 - Cp = |V|^2 / |Vinf|^2,
// for the unit free stream the square of the tangential velocity. Empty before the first solution.

#include "base/Array.h"

namespace panelflow {

struct SurfaceSolution {
    Array2D<double> Sigma, OneMinusCp;
    Array2D<double> Vx, Vy, Vz;
};

}  // namespace panelflow
