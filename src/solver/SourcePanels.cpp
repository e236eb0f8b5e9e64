// SPDX-License-Identifier: GPL-3.0-or-later
#include "solver/SourcePanels.h"

#include <algorithm>
#include <cassert>
#include <cmath>

#include "solver/SourcePanelPotential.h"
#include "solver/SourcePanelVelocity.h"

namespace panelflow {
namespace {

constexpr long kWidestVector = assembly::kPanelsPerGroup;

}  // namespace

SourcePanels::SourcePanels(const PanelModel& model, long first, long count, long step)
    : model_(model), first_(first), step_(step) {
    const long padded = (count + kWidestVector - 1) / kWidestVector * kWidestVector;
    constexpr long kArrays = 12 + 6 * 4 + 1;
    storage_.assign(static_cast<std::size_t>(kArrays * padded), 0.0);
    // Interleaved by groups of the widest vector: the group of panels n0 .. n0 + 7 holds
    // those entries of the first array, then of the second, and so on, so that the kernel
    // reads one stream instead of one per array.
    double* next = storage_.data();
    auto take = [&next] {
        double* array = next;
        next += kWidestVector;
        return array;
    };
    double *xC = take(), *yC = take(), *zC = take();
    double *XsiX = take(), *XsiY = take(), *XsiZ = take(), *ItaX = take(), *ItaY = take(), *ItaZ = take();
    double *ZtaX = take(), *ZtaY = take(), *ZtaZ = take();
    double *xsiStart[4], *itaStart[4], *dXsi[4], *dIta[4], *d[4], *inverseD[4];
    for (int side = 0; side < 4; ++side) {
        xsiStart[side] = take(), itaStart[side] = take();
        dXsi[side] = take(), dIta[side] = take(), d[side] = take(), inverseD[side] = take();
    }
    double* hasFourthSide = take();

    for (long n = 0; n < padded; ++n) {
        const long at = n / kWidestVector * kArrays * kWidestVector + n % kWidestVector;
        // Padding repeats the last panel, so that every lane computes with sound values.
        const long panel = first + std::min(n, count - 1) * step;
        const int i = static_cast<int>(panel / model.NJ) + 1, j = static_cast<int>(panel % model.NJ) + 1;
        xC[at] = model.xC(i, j), yC[at] = model.yC(i, j), zC[at] = model.zC(i, j);
        XsiX[at] = model.XsiX(i, j), XsiY[at] = model.XsiY(i, j), XsiZ[at] = model.XsiZ(i, j);
        ItaX[at] = model.ItaX(i, j), ItaY[at] = model.ItaY(i, j), ItaZ[at] = model.ItaZ(i, j);
        ZtaX[at] = model.ZtaX(i, j), ZtaY[at] = model.ZtaY(i, j), ZtaZ[at] = model.ZtaZ(i, j);
        const int corners = model.nCorner(i, j);
        hasFourthSide[at] = corners == 4 ? 1.0 : 0.0;
        for (int side = 0; side < 4; ++side) {
            // A triangle has no fourth side; its lane takes the first side's values, unused.
            const int k = side < corners ? side + 1 : 1;
            const int kPrime = k == corners ? 1 : k + 1;
            xsiStart[side][at] = model.Xsi(i, j, k), itaStart[side][at] = model.Ita(i, j, k);
            dXsi[side][at] = model.Xsi(i, j, kPrime) - model.Xsi(i, j, k);
            dIta[side][at] = model.Ita(i, j, kPrime) - model.Ita(i, j, k);
            d[side][at] = std::sqrt(dXsi[side][at] * dXsi[side][at] + dIta[side][at] * dIta[side][at]);
            inverseD[side][at] = 1.0 / d[side][at];
        }
    }

    arrays_ = assembly::SourceArrays{count, padded, kArrays * kWidestVector, xC, yC, zC, XsiX, XsiY, XsiZ, ItaX,
                                     ItaY, ItaZ, ZtaX, ZtaY, ZtaZ, {}, {}, {}, {}, {}, {}, hasFourthSide, Pi,
                                     TwoPi, FourPi, &SourcePanels::ExactVelocity, this, &SourcePanels::ExactPotential};
    for (int side = 0; side < 4; ++side) {
        arrays_.xsiStart[side] = xsiStart[side], arrays_.itaStart[side] = itaStart[side];
        arrays_.dXsi[side] = dXsi[side], arrays_.dIta[side] = dIta[side], arrays_.d[side] = d[side];
        arrays_.inverseD[side] = inverseD[side];
    }
}

void SourcePanels::ExactVelocity(const void* context, long n, double x, double y, double z, double& u, double& v,
                                 double& w) {
    const auto& self = *static_cast<const SourcePanels*>(context);
    const PanelModel& model = self.model_;
    const long panel = self.first_ + n * self.step_;
    SourcePanelVelocity(model, static_cast<int>(panel / model.NJ) + 1, static_cast<int>(panel % model.NJ) + 1, x, y,
                        z, u, v, w);
}

double SourcePanels::ExactPotential(const void* context, long n, double x, double y, double z) {
    const auto& self = *static_cast<const SourcePanels*>(context);
    const PanelModel& model = self.model_;
    const long panel = self.first_ + n * self.step_;
    return SourcePanelPotential(model, static_cast<int>(panel / model.NJ) + 1, static_cast<int>(panel % model.NJ) + 1,
                                x, y, z);
}

assembly::FieldPanel FieldPanelOf(const PanelModel& model, int i, int j) {
    return {model.xC(i, j),   model.yC(i, j),   model.zC(i, j),   model.XsiX(i, j), model.XsiY(i, j),
            model.XsiZ(i, j), model.ItaX(i, j), model.ItaY(i, j), model.ItaZ(i, j), model.ZtaX(i, j),
            model.ZtaY(i, j), model.ZtaZ(i, j)};
}

assembly::RowKernel RowKernelFor(VectorInstructions instructions) {
    if (instructions == VectorInstructions::Best) instructions = WidestVectorInstructions();
    assert(ProcessorSupports(instructions));
    switch (instructions) {
        case VectorInstructions::Avx512: return &assembly::AssembleRowAvx512;
        case VectorInstructions::Avx2: return &assembly::AssembleRowAvx2;
        default: return &assembly::AssembleRowSse2;
    }
}

assembly::PotentialRowKernel PotentialRowKernelFor(VectorInstructions instructions) {
    if (instructions == VectorInstructions::Best) instructions = WidestVectorInstructions();
    assert(ProcessorSupports(instructions));
    switch (instructions) {
        case VectorInstructions::Avx512: return &assembly::AssembleRowWithPotentialAvx512;
        case VectorInstructions::Avx2: return &assembly::AssembleRowWithPotentialAvx2;
        default: return &assembly::AssembleRowWithPotentialSse2;
    }
}

}  // namespace panelflow
