// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The flow off the body (model/FlowField.h): at any point, the free stream plus the velocity of
// every source panel with its strength, each panel's exactly (the vector kernel with the scalar
// routine near its edges), so a point may lie as close to the surface as it likes; and whether the
// point lies inside the body, from the panels' solid angles, whose sum is -4 Pi inside a closed
// body and 0 outside it (the point counts as inside below -2 Pi, half-way).
//
// Work: one influence per point and panel, the points shared among the thread pool's workers;
// a body with 10^5 panels takes about a second per thousand points on one core.

#include <string_view>
#include <vector>

#include "base/Array.h"
#include "base/Progress.h"
#include "model/FlowField.h"
#include "model/FreeStream.h"
#include "model/PanelModel.h"

namespace panelflow {

inline constexpr std::string_view kStageFlowAtPoints = "flow off the body";

// The flow at `points` about `model` (at least one panel) whose panels carry the strengths `Sigma`
// ([0..NI] x [0..NJ]) in the free stream `vinf` (not zero). A body far from unit size is computed
// scaled to it. A stop throws Cancelled, memory that cannot be had std::bad_alloc.
FieldValues FlowAtPoints(const PanelModel& model, const Array2D<double>& Sigma, const FreeStream& vinf,
                         const std::vector<Vector3>& points, Progress* progress = nullptr);

}  // namespace panelflow
