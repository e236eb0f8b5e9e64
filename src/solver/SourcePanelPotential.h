// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Potential of a flat polygonal panel carrying a source density of 1 per unit area:
//     phi(P) = -(1 / 4 Pi) Integral over the panel of dS / |P - Q|,
// the potential whose gradient is the velocity of SourcePanelVelocity.h (same panel, same point
// in the panel's own axes measured from its control point, same corner order). Closed-form at
// every distance from the same side terms as the velocity: the sum over the sides of h L, less
// |z| times the panel's solid angle. phi is continuous everywhere, in the panel's plane and on
// its edges included, even in z and negative; far away it tends to -area / (4 Pi distance).
// It errs from the exact value for the given doubles by a few ulps of its side terms h L.

#include "model/PanelModel.h"

namespace panelflow {

// The polygon with corners (xsi[k], ita[k]), k = 1..n (n = 3 or 4; entry 0 unused), running
// clockwise seen from +zeta.
double SourcePanelPotential(int n, const double* xsi, const double* ita, double x, double y, double z);

// Panel (i, j) of the model, using nCorner, Xsi and Ita.
double SourcePanelPotential(const PanelModel& model, int i, int j, double x, double y, double z);

}  // namespace panelflow
