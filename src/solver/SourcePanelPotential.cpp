// SPDX-License-Identifier: GPL-3.0-or-later
#include "solver/SourcePanelPotential.h"

#include <cmath>

#include "solver/PanelSideTerms.h"

namespace panelflow {

double SourcePanelPotential(int n, const double* xsi, const double* ita, double x, double y, double z) {
    double ShL = 0.0, Omega = 0.0;
    for (int k = 1; k <= n; ++k) {
        const int kPrime = k + 1 > n ? 1 : k + 1;
        const SideTerms side = Side(xsi[k], ita[k], xsi[kPrime], ita[kPrime], x, y, z);
        // h L tends to 0 where h does, also on the side itself, where L is infinite.
        if (side.h != 0.0 && std::isfinite(side.L)) ShL = ShL + side.h * side.L;
        Omega = Omega + side.Omega;
    }
    // In the panel's plane the solid angle's term vanishes (its sum may be 0 / 0 at a corner).
    const double absZ = std::fabs(z);
    return -(absZ == 0.0 ? ShL : ShL - absZ * Omega) / FourPi;
}

double SourcePanelPotential(const PanelModel& model, int i, int j, double x, double y, double z) {
    double xsi[5], ita[5];
    const int n = model.nCorner(i, j);
    for (int k = 1; k <= n; ++k) {
        xsi[k] = model.Xsi(i, j, k);
        ita[k] = model.Ita(i, j, k);
    }
    return SourcePanelPotential(n, xsi, ita, x, y, z);
}

}  // namespace panelflow
