// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A body of revolution's profile: points (x, r) from nose to tail along the meridian, and the
// meridian angles of the node columns.
//
// xI, rI are [0..NI1] (used 1..NI1); ThetaJ is [0..NJ1] (used 1..NJ1), the angle of node column j
// in radians, from -Pi/2 (the -z side) turning positively about +x, so that column NJ1 repeats
// column 1 and closes the surface.

#include "base/Array.h"

namespace panelflow {

struct BodyProfile {
    Array1D<double> xI, rI, ThetaJ;
};

}  // namespace panelflow
