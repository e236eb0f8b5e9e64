#include "solver/Assembly.h"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <cmath>
#include <vector>

#include "base/ThreadPool.h"
#include "solver/AssemblyKernel.h"
#include "solver/SourcePanelVelocity.h"

namespace panelflow {
namespace {

using assembly::FieldPanel;
using assembly::RowKernel;
using assembly::SourceArrays;

constexpr long kWidestVector = assembly::kPanelsPerGroup;
constexpr long kRowsPerTask = 4;
constexpr long kColumnsPerBlock = 512;  // 37 entries of 512 panels take 150 kB, within the second-level cache

// The source panels of the model in the layout of the vector kernel; owns the storage.
class SourcePanels {
public:
    explicit SourcePanels(const PanelModel& model) : model_(model) {
        const long N = static_cast<long>(model.PanelCount());
        const long padded = (N + kWidestVector - 1) / kWidestVector * kWidestVector;
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
            const long panel = std::min(n, N - 1);
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

        arrays_ = SourceArrays{N, padded, kArrays * kWidestVector, xC, yC, zC, XsiX, XsiY, XsiZ, ItaX, ItaY, ItaZ,
                               ZtaX, ZtaY, ZtaZ, {}, {}, {}, {}, {}, {}, hasFourthSide, Pi, TwoPi, FourPi,
                               &SourcePanels::ExactVelocity, this};
        for (int side = 0; side < 4; ++side) {
            arrays_.xsiStart[side] = xsiStart[side], arrays_.itaStart[side] = itaStart[side];
            arrays_.dXsi[side] = dXsi[side], arrays_.dIta[side] = dIta[side], arrays_.d[side] = d[side];
            arrays_.inverseD[side] = inverseD[side];
        }
    }
    SourcePanels(const SourcePanels&) = delete;
    SourcePanels& operator=(const SourcePanels&) = delete;

    const SourceArrays& arrays() const { return arrays_; }

private:
    static void ExactVelocity(const void* context, long n, double x, double y, double z, double& u, double& v,
                              double& w) {
        const PanelModel& model = static_cast<const SourcePanels*>(context)->model_;
        SourcePanelVelocity(model, static_cast<int>(n / model.NJ) + 1, static_cast<int>(n % model.NJ) + 1, x, y,
                            z, u, v, w);
    }

    const PanelModel& model_;
    std::vector<double> storage_;
    SourceArrays arrays_{};
};

RowKernel KernelFor(VectorInstructions instructions) {
    if (instructions == VectorInstructions::Best) instructions = WidestVectorInstructions();
    assert(ProcessorSupports(instructions));
    switch (instructions) {
        case VectorInstructions::Avx512: return &assembly::AssembleRowAvx512;
        case VectorInstructions::Avx2: return &assembly::AssembleRowAvx2;
        default: return &assembly::AssembleRowSse2;
    }
}

}  // namespace

void AssembleInfluenceMatricesVector(const PanelModel& model, const FreeStream& vinf, InfluenceMatrices& solution,
                                     Progress* progress, VectorInstructions instructions, unsigned threads) {
    const long N = static_cast<long>(model.PanelCount());
    solution = InfluenceMatrices{N, Array2D<double>(N, N + 1), Array2D<double>(N, N + 1), Array2D<double>(N, N + 1)};
    if (N < 1) return;

    const SourcePanels sources(model);
    const RowKernel kernel = KernelFor(instructions);

    // Tasks of a few rows each go to the workers of the thread pool; the calling thread (worker 0)
    // alone reports progress.
    const long tasks = (N + kRowsPerTask - 1) / kRowsPerTask;
    std::atomic<long> rowsDone{0};
    double reported = 0.0;
    ThreadPool::Shared().ParallelFor(tasks, [&](long task, unsigned worker) {
        ThrowIfStopRequested(progress);
        const long first = task * kRowsPerTask + 1;
        const long last = std::min(N, first + kRowsPerTask - 1);
        FieldPanel fields[kRowsPerTask];
        for (long m = first; m <= last; ++m) {
            const int i = static_cast<int>((m - 1) / model.NJ) + 1, j = static_cast<int>((m - 1) % model.NJ) + 1;
            fields[m - first] = FieldPanel{model.xC(i, j),   model.yC(i, j),   model.zC(i, j),   model.XsiX(i, j),
                                           model.XsiY(i, j), model.XsiZ(i, j), model.ItaX(i, j), model.ItaY(i, j),
                                           model.ItaZ(i, j), model.ZtaX(i, j), model.ZtaY(i, j), model.ZtaZ(i, j)};
            // Right-hand side: no flow through the surface, -(Zta . Vinf).
            const FieldPanel& field = fields[m - first];
            solution.vNorm(m, N + 1) = -(field.ZtaX * vinf.VinfX + field.ZtaY * vinf.VinfY + field.ZtaZ * vinf.VinfZ);
        }
        // The rows of the task sweep the source panels block by block, so that a block's
        // arrays, read once from memory, serve every row from the nearer caches.
        for (long columns = 0; columns < N; columns += kColumnsPerBlock) {
            const long end = std::min(N, columns + kColumnsPerBlock);
            for (long m = first; m <= last; ++m)
                kernel(sources.arrays(), fields[m - first], columns, end, solution.uTan.row(m) + 1,
                       solution.vTan.row(m) + 1, solution.vNorm.row(m) + 1);
        }
        const long done = rowsDone.fetch_add(last - first + 1) + last - first + 1;
        const double fraction = static_cast<double>(done) / static_cast<double>(N);
        if (worker == 0 && progress != nullptr && fraction - reported >= 0.005 && done < N) {
            progress->Report(kStageInfluence, fraction);
            reported = fraction;
        }
    }, threads);
    if (progress != nullptr) progress->Report(kStageInfluence, 1.0);
}

void AssembleInfluenceMatrices(const PanelModel& model, const FreeStream& vinf, InfluenceMatrices& matrices,
                               Progress* progress) {
    AssembleInfluenceMatricesVector(model, vinf, matrices, progress);
}

}  // namespace panelflow
