#include "solver/SurfaceVelocity.h"

namespace panelflow {

void SurfaceVelocity(const PanelModel& model, const FreeStream& vinf, const InfluenceMatrices& matrices,
                     const Array1D<double>& SigmaVec, SurfaceSolution& surface) {
    const int NI = model.NI, NJ = model.NJ;
    const long N = matrices.N;
    SurfaceSolution result{Array2D<double>(NI, NJ), Array2D<double>(NI, NJ), Array2D<double>(NI, NJ),
                           Array2D<double>(NI, NJ), Array2D<double>(NI, NJ)};
    // 1 - Cp is the speed squared relative to the free stream's; for the unit stream the division
    // is by exactly 1 and changes no bit.
    const double VinfSquared = vinf.VinfX * vinf.VinfX + vinf.VinfY * vinf.VinfY + vinf.VinfZ * vinf.VinfZ;
    long m = 0;
    for (int i = 1; i <= NI; ++i)
        for (int j = 1; j <= NJ; ++j) result.Sigma(i, j) = SigmaVec(++m);

    m = 0;
    for (int i = 1; i <= NI; ++i) {
        for (int j = 1; j <= NJ; ++j) {
            double ut = model.XsiX(i, j) * vinf.VinfX + model.XsiY(i, j) * vinf.VinfY + model.XsiZ(i, j) * vinf.VinfZ;
            double vt = model.ItaX(i, j) * vinf.VinfX + model.ItaY(i, j) * vinf.VinfY + model.ItaZ(i, j) * vinf.VinfZ;
            ++m;
            const double* uTanRow = matrices.uTan.row(m);
            const double* vTanRow = matrices.vTan.row(m);
            for (long n = 1; n <= N; ++n) {
                ut = ut + SigmaVec(n) * uTanRow[n];
                vt = vt + SigmaVec(n) * vTanRow[n];
            }
            result.OneMinusCp(i, j) = (ut * ut + vt * vt) / VinfSquared;
            result.Vx(i, j) = ut * model.XsiX(i, j) + vt * model.ItaX(i, j);
            result.Vy(i, j) = ut * model.XsiY(i, j) + vt * model.ItaY(i, j);
            result.Vz(i, j) = ut * model.XsiZ(i, j) + vt * model.ItaZ(i, j);
        }
    }
    surface = std::move(result);
}

}  // namespace panelflow
