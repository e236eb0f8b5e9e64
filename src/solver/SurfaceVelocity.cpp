// SPDX-License-Identifier: GPL-3.0-or-later
#include "solver/SurfaceVelocity.h"

namespace panelflow {

void SurfaceVelocity(const PanelModel& model, const FreeStream& vinf, const OnsetSolution& solution,
                     SurfaceSolution& surface) {
    const int NI = model.NI, NJ = model.NJ;
    SurfaceSolution result{solution.Sigma, Array2D<double>(NI, NJ), Array2D<double>(NI, NJ), Array2D<double>(NI, NJ),
                           Array2D<double>(NI, NJ)};
    // 1 - Cp is the speed squared relative to the free stream's; for the unit stream the division
    // is by exactly 1 and changes no bit.
    const double VinfSquared = vinf.VinfX * vinf.VinfX + vinf.VinfY * vinf.VinfY + vinf.VinfZ * vinf.VinfZ;
    for (int i = 1; i <= NI; ++i) {
        for (int j = 1; j <= NJ; ++j) {
            const double ut = solution.ut(i, j), vt = solution.vt(i, j);
            result.OneMinusCp(i, j) = (ut * ut + vt * vt) / VinfSquared;
            result.Vx(i, j) = ut * model.XsiX(i, j) + vt * model.ItaX(i, j);
            result.Vy(i, j) = ut * model.XsiY(i, j) + vt * model.ItaY(i, j);
            result.Vz(i, j) = ut * model.XsiZ(i, j) + vt * model.ItaZ(i, j);
        }
    }
    surface = std::move(result);
}

}  // namespace panelflow
