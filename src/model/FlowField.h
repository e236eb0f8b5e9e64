// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The flow off the body: the points where it is wanted (FieldPoints) and what it is there
// (FieldValues), in global axes and the body's length unit, velocities relative to the free
// stream's units.
//
// A box grid has count[d] >= 1 points along each axis d, from lower[d] to upper[d] at equal steps
// (lower[d] == upper[d] where count[d] is 1); its points are listed x fastest, then y, then z, as
// a structured grid stores them.

#include <optional>
#include <vector>

#include "model/Vector3.h"

namespace panelflow {

struct FieldBox {
    Vector3 lower{}, upper{};
    std::array<long, 3> count{1, 1, 1};
};

struct FieldPoints {
    std::vector<Vector3> points;
    std::optional<FieldBox> box;  // set when the points are this box's grid
};

// The points of `box`, in their order.
std::vector<Vector3> BoxGridPoints(const FieldBox& box);

// One entry per point, in the points' order. Inside the body there is no fluid: the velocity
// there is zero (the body is at rest), so cp = 1 and oneMinusCp = 0, and `inside` is 1.
struct FieldValues {
    std::vector<Vector3> velocity;
    std::vector<double> cp, oneMinusCp;
    std::vector<unsigned char> inside;
};

}  // namespace panelflow
