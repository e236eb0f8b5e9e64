// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Velocity induced by a flat polygonal panel carrying a source density of 1 per unit area.
// The field point (x, y, z) is given in the panel's own axes (xi, eta, zeta) measured from its
// control point, and the velocity (u, v, w) comes back in the same axes, with the factor 1/(4 Pi).
// Closed-form at every distance: a logarithm per side for u and v, an angle per side summed into
// the solid angle for w. Just above the panel's interior w = +0.5; a point in the plane inside
// the panel counts as above it. A point exactly in the panel's plane outside the panel, or
// exactly above the line of a side or above a corner, gets the continuous limit of its
// neighbours' velocity (w = 0 in the plane outside the panel). Off the panel's edges each
// component errs from the exact value for the given doubles by a few ulps of the side terms that
// make it up (a few times 1e-16 near the panel), however near the point is to the plane, a
// side's line or a corner (the derivation is in PanelSideTerms.cpp).

#include "model/PanelModel.h"

namespace panelflow {

// The polygon with corners (xsi[k], ita[k]), k = 1..n (n = 3 or 4; entry 0 unused), running
// clockwise seen from +zeta.
void SourcePanelVelocity(int n, const double* xsi, const double* ita,
                         double x, double y, double z, double& u, double& v, double& w);

// Panel (i, j) of the model, using nCorner, Xsi and Ita.
void SourcePanelVelocity(const PanelModel& model, int i, int j,
                         double x, double y, double z, double& u, double& v, double& w);

}  // namespace panelflow
