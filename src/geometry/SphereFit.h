// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whether a panel model's nodes all lie on one sphere centred on the x axis, such as the
// generated sphere or a profile file of the same shape; the plot then shows the exact flow.

#include "model/PanelModel.h"

namespace panelflow {

struct SphereFit {
    bool isSphere = false;
    double xCentre = 0.0, radius = 0.0;
};

// The centre is the middle of the nodes' x range, the radius half that range; every node must lie
// at that distance from the centre to within 1e-9 of the radius.
SphereFit FitSphere(const PanelModel& model);

}  // namespace panelflow
