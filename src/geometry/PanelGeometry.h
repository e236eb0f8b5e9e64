// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Panel geometry: from the node grid, every panel's corners, corner count, control point, local
// axes and corner coordinates in those axes (see PanelModel.h for the conventions).

#include "base/Status.h"
#include "model/PanelModel.h"

namespace panelflow {

// Allocates and fills every per-panel array of `model` from its node grid and counts.
// Refuses a degenerate panel, one whose corners 1 and 2 coincide (|A| = 0) or whose corners
// 1, 2, 3 lie on one line (|N| = 0), with a message naming the first such panel (i, j), rows
// before columns; "zero" means zero to within rounding of the panel's longest edge, so that
// the sphere's poles (radius sin(Pi) / 2, not exactly 0) count as single points. The per-panel
// arrays are then unspecified and the model must not be used. A body too small or too large to
// compute (model/BodyScale.h) is refused first, before anything is allocated.
Status BuildPanels(PanelModel& model);

}  // namespace panelflow
