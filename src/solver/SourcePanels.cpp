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

// Runs `kernel(first, last, u, v, w)`, which starts at a multiple of the widest vector and
// writes entry n at index n, for any first .. last: the group that holds `first` goes through a
// small buffer, the rest straight to the output, whose entry k is entry first + k.
template <class Kernel>
void Unaligned(Kernel kernel, long first, long last, double* uTan, double* vTan, double* vNorm) {
    const long aligned = first / kWidestVector * kWidestVector;
    long start = first;
    if (aligned < first) {
        const long end = std::min(last, aligned + kWidestVector);
        double u[kWidestVector], v[kWidestVector], w[kWidestVector];
        kernel(aligned, end, u - aligned, v - aligned, w - aligned);
        for (long n = first; n < end; ++n)
            uTan[n - first] = u[n - aligned], vTan[n - first] = v[n - aligned], vNorm[n - first] = w[n - aligned];
        start = end;
    }
    if (start < last) kernel(start, last, uTan - first, vTan - first, vNorm - first);
}

}  // namespace

SourcePanels::SourcePanels(const PanelModel& model, long first, long count, long step)
    : model_(model), panels_(count), rowKernel_(RowKernelFor()), columnKernel_(ColumnKernelFor()) {
    for (long n = 0; n < count; ++n) panels_[n] = first + n * step;
    Build();
}

SourcePanels::SourcePanels(const PanelModel& model, std::vector<long> order, VectorInstructions instructions)
    : model_(model),
      panels_(std::move(order)),
      rowKernel_(RowKernelFor(instructions)),
      columnKernel_(ColumnKernelFor(instructions)) {
    Build();
}

void SourcePanels::Build() {
    const PanelModel& model = model_;
    const long count = static_cast<long>(panels_.size());
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
        const long panel = panels_[static_cast<std::size_t>(std::min(n, count - 1))];
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
    const long panel = self.panels_[static_cast<std::size_t>(n)];
    SourcePanelVelocity(model, static_cast<int>(panel / model.NJ) + 1, static_cast<int>(panel % model.NJ) + 1, x, y,
                        z, u, v, w);
}

void SourcePanels::Row(const assembly::FieldPanel& field, long first, long last, double* uTan, double* vTan,
                       double* vNorm) const {
    assert(0 <= first && first <= last && last <= count());
    Unaligned([&](long from, long to, double* u, double* v, double* w) { rowKernel_(arrays_, field, from, to, u, v, w); },
              first, last, uTan, vTan, vNorm);
}

void SourcePanels::Column(long source, long first, long last, double* uTan, double* vTan, double* vNorm) const {
    assert(0 <= source && source < count() && 0 <= first && first <= last && last <= count());
    Unaligned([&](long from, long to, double* u, double* v, double* w) {
        columnKernel_(arrays_, source, from, to, u, v, w);
    }, first, last, uTan, vTan, vNorm);
}

double SourcePanels::ExactPotential(const void* context, long n, double x, double y, double z) {
    const auto& self = *static_cast<const SourcePanels*>(context);
    const PanelModel& model = self.model_;
    const long panel = self.panels_[static_cast<std::size_t>(n)];
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

assembly::ColumnKernel ColumnKernelFor(VectorInstructions instructions) {
    if (instructions == VectorInstructions::Best) instructions = WidestVectorInstructions();
    assert(ProcessorSupports(instructions));
    switch (instructions) {
        case VectorInstructions::Avx512: return &assembly::AssembleColumnAvx512;
        case VectorInstructions::Avx2: return &assembly::AssembleColumnAvx2;
        default: return &assembly::AssembleColumnSse2;
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
