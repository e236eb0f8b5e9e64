// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The assembly of the influence matrices as the plain loop over every ordered pair of panels, one
// call of SourcePanelVelocity each (and of SourcePanelPotential with `potentials`): the reference
// that the program's vector assembly is checked against, and the baseline of its benchmark.

#include <algorithm>

#include "base/Progress.h"
#include "model/FreeStream.h"
#include "model/InfluenceMatrices.h"
#include "model/PanelModel.h"
#include "solver/SourcePanelPotential.h"
#include "solver/SourcePanelVelocity.h"

namespace panelflow::testing {

inline void AssembleInfluenceMatricesScalar(const PanelModel& model, const FreeStream& vinf, InfluenceMatrices& solution,
                                            Progress* progress, bool potentials) {
    const long N = static_cast<long>(model.PanelCount());
    solution = InfluenceMatrices{N, Array2D<double>(N, N + 1), Array2D<double>(N, N + 1), Array2D<double>(N, N + 1),
                                 potentials ? Array2D<double>(N, N) : Array2D<double>()};

    // Enough rows between two reports to keep them to a few hundred.
    const long reportEvery = std::max(1L, N / 200);

    long m = 0;
    for (int i = 1; i <= model.NI; ++i) {
        for (int j = 1; j <= model.NJ; ++j) {
            ++m;
            double* vNormRow = solution.vNorm.row(m);
            double* uTanRow = solution.uTan.row(m);
            double* vTanRow = solution.vTan.row(m);
            long n = 0;
            for (int k = 1; k <= model.NI; ++k) {
                for (int l = 1; l <= model.NJ; ++l) {
                    ++n;
                    // The field point (control point of panel (i, j)) in the axes of the source
                    // panel (k, l), measured from its control point.
                    const double dx = model.xC(i, j) - model.xC(k, l);
                    const double dy = model.yC(i, j) - model.yC(k, l);
                    const double dz = model.zC(i, j) - model.zC(k, l);
                    const double x = model.XsiX(k, l) * dx + model.XsiY(k, l) * dy + model.XsiZ(k, l) * dz;
                    const double y = model.ItaX(k, l) * dx + model.ItaY(k, l) * dy + model.ItaZ(k, l) * dz;
                    const double z = model.ZtaX(k, l) * dx + model.ZtaY(k, l) * dy + model.ZtaZ(k, l) * dz;

                    double u = 0.0, v = 0.0, w = 0.0;
                    SourcePanelVelocity(model, k, l, x, y, z, u, v, w);
                    if (potentials) solution.potential(m, n) = SourcePanelPotential(model, k, l, x, y, z);

                    // Back to global axes, then onto the field panel's axes.
                    const double Vx = model.XsiX(k, l) * u + model.ItaX(k, l) * v + model.ZtaX(k, l) * w;
                    const double Vy = model.XsiY(k, l) * u + model.ItaY(k, l) * v + model.ZtaY(k, l) * w;
                    const double Vz = model.XsiZ(k, l) * u + model.ItaZ(k, l) * v + model.ZtaZ(k, l) * w;
                    uTanRow[n] = Vx * model.XsiX(i, j) + Vy * model.XsiY(i, j) + Vz * model.XsiZ(i, j);
                    vTanRow[n] = Vx * model.ItaX(i, j) + Vy * model.ItaY(i, j) + Vz * model.ItaZ(i, j);
                    vNormRow[n] = Vx * model.ZtaX(i, j) + Vy * model.ZtaY(i, j) + Vz * model.ZtaZ(i, j);
                }
            }
            // Right-hand side: no flow through the surface, -(Zta . Vinf).
            vNormRow[N + 1] = -(model.ZtaX(i, j) * vinf.VinfX + model.ZtaY(i, j) * vinf.VinfY +
                                model.ZtaZ(i, j) * vinf.VinfZ);

            if (progress != nullptr && (m % reportEvery == 0 || m == N)) {
                progress->Report("assembly", static_cast<double>(m) / static_cast<double>(N));
            }
        }
    }
}

inline void AssembleInfluenceMatricesScalar(const PanelModel& model, const FreeStream& vinf, InfluenceMatrices& solution,
                                            Progress* progress = nullptr) {
    AssembleInfluenceMatricesScalar(model, vinf, solution, progress, false);
}

}  // namespace panelflow::testing
