// SPDX-License-Identifier: GPL-3.0-or-later
#include "solver/SourcePanelVelocity.h"

#include <cmath>

#include "solver/PanelSideTerms.h"

namespace panelflow {

void SourcePanelVelocity(int n, const double* xsi, const double* ita,
                         double x, double y, double z, double& u, double& v, double& w) {
    double Su = 0.0, Sv = 0.0, Omega = 0.0;
    bool inside = true;

    for (int k = 1; k <= n; ++k) {
        const int kPrime = k + 1 > n ? 1 : k + 1;
        const SideTerms side = Side(xsi[k], ita[k], xsi[kPrime], ita[kPrime], x, y, z);
        Su = Su - ((ita[kPrime] - ita[k]) * side.L) / side.d;
        Sv = Sv + ((xsi[kPrime] - xsi[k]) * side.L) / side.d;
        Omega = Omega + side.Omega;
        if (side.h < 0.0) inside = false;
    }

    // In the panel's plane the solid angle is 2 Pi over the panel (its edge included) and 0
    // beside it, the limit from above; the sum of the sides' angles there would carry rounding.
    if (z == 0.0) Omega = inside ? TwoPi : 0.0;
    const double s = z < 0.0 ? -1.0 : 1.0;  // a point in the plane counts as above the panel
    u = Su / FourPi;
    v = Sv / FourPi;
    w = s * Omega / FourPi;
}

void SourcePanelVelocity(const PanelModel& model, int i, int j,
                         double x, double y, double z, double& u, double& v, double& w) {
    double xsi[5], ita[5];
    const int n = model.nCorner(i, j);
    for (int k = 1; k <= n; ++k) {
        xsi[k] = model.Xsi(i, j, k);
        ita[k] = model.Ita(i, j, k);
    }
    SourcePanelVelocity(n, xsi, ita, x, y, z, u, v, w);
}

}  // namespace panelflow
