#pragma once
// What a solution leaves on the surface, per panel (i, j), [0..NI] x [0..NJ] (index 0 unused):
// the source strength Sigma and 1 - Cp, the square of the tangential velocity at the control
// point (for the unit free stream). Empty before the first solution.

#include "base/Array.h"

namespace panelflow {

struct SurfaceSolution {
    Array2D<double> Sigma, OneMinusCp;
};

}  // namespace panelflow
