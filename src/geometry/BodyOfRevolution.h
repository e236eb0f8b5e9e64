// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Bodies of revolution about the x axis: a profile of points (x, r) from nose to tail, revolved
// into the node grid of the panel model.
//
// The profile's conventions are in BodyProfile.h.

#include "model/BodyProfile.h"
#include "model/PanelModel.h"

namespace panelflow {

// Fills profile.xI and profile.rI with the sphere of diameter 1 (centre x = 0.5), NI + 1 points
// equally spaced in angle from the nose (0, 0) to the tail (1, 0).
void SphereProfile(int NI, BodyProfile& profile);

// Revolves profile.xI/rI (for model.NI1 points) about the x axis: fills profile.ThetaJ and
// model.xNode, yNode, zNode for the counts already set in model, and marks the model a body of
// revolution. Allocates everything afresh.
void BuildBodyOfRevolution(BodyProfile& profile, PanelModel& model);

}  // namespace panelflow
