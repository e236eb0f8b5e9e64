// SPDX-License-Identifier: GPL-3.0-or-later
#include "solver/Assembly.h"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <cmath>
#include <vector>

#include "base/ThreadPool.h"
#include "solver/SourcePanels.h"

namespace panelflow {
namespace {

using assembly::FieldPanel;
using assembly::PotentialRowKernel;
using assembly::RowKernel;

constexpr long kRowsPerTask = 4;
constexpr long kColumnsPerBlock = 512;  // 37 entries of 512 panels take 150 kB, within the second-level cache

}  // namespace

void AssembleInfluenceMatricesVector(const PanelModel& model, const FreeStream& vinf, InfluenceMatrices& solution,
                                     Progress* progress, VectorInstructions instructions, unsigned threads,
                                     long rightHandSides, bool potentials) {
    const long N = static_cast<long>(model.PanelCount());
    solution = InfluenceMatrices{N, Array2D<double>(N, N + rightHandSides), Array2D<double>(N, N + 1),
                                 Array2D<double>(N, N + 1), potentials ? Array2D<double>(N, N) : Array2D<double>()};
    if (N < 1) return;

    const SourcePanels sources(model);
    const RowKernel kernel = RowKernelFor(instructions);
    const PotentialRowKernel potentialKernel = PotentialRowKernelFor(instructions);

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
            fields[m - first] = FieldPanelOf(model, i, j);
            // Right-hand side: no flow through the surface, -(Zta . Vinf).
            const FieldPanel& field = fields[m - first];
            solution.vNorm(m, N + 1) = -(field.ZtaX * vinf.VinfX + field.ZtaY * vinf.VinfY + field.ZtaZ * vinf.VinfZ);
        }
        // The rows of the task sweep the source panels block by block, so that a block's
        // arrays, read once from memory, serve every row from the nearer caches.
        for (long columns = 0; columns < N; columns += kColumnsPerBlock) {
            const long end = std::min(N, columns + kColumnsPerBlock);
            for (long m = first; m <= last; ++m) {
                if (potentials)
                    potentialKernel(sources.arrays(), fields[m - first], columns, end, solution.uTan.row(m) + 1,
                                    solution.vTan.row(m) + 1, solution.vNorm.row(m) + 1,
                                    solution.potential.row(m) + 1, nullptr);
                else
                    kernel(sources.arrays(), fields[m - first], columns, end, solution.uTan.row(m) + 1,
                           solution.vTan.row(m) + 1, solution.vNorm.row(m) + 1);
            }
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
                               Progress* progress, long rightHandSides, bool potentials) {
    AssembleInfluenceMatricesVector(model, vinf, matrices, progress, VectorInstructions::Best, 0, rightHandSides,
                                    potentials);
}

}  // namespace panelflow
