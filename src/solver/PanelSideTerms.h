// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Internal to the solver folder: the terms that one side of a flat source panel contributes to
// its velocity and its potential at a point, shared by the one-pair routines
// (SourcePanelVelocity, SourcePanelPotential). The derivation is in PanelSideTerms.cpp.

namespace panelflow {

struct SideTerms {
    double d;      // the side's length
    double h;      // the point's signed distance from the side's line, > 0 towards the panel
    double L;      // ln((r + r' + d) / (r + r' - d))
    double Omega;  // the solid angle of the triangle (F, corner k, corner k'), sign(z) left out
};

// Side k of a panel, from corner (xsiK, itaK) to the next corner (xsiK1, itaK1) in panel axes,
// seen from the point (x, y, z) in the same axes.
SideTerms Side(double xsiK, double itaK, double xsiK1, double itaK1, double x, double y, double z);

}  // namespace panelflow
