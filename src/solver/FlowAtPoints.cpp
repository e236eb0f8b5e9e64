// SPDX-License-Identifier: GPL-3.0-or-later
#include "solver/FlowAtPoints.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>

#include "base/ThreadPool.h"
#include "model/BodyScale.h"
#include "solver/SourcePanels.h"

namespace panelflow {
namespace {

constexpr long kPointsPerTask = 16;
constexpr long kColumnsPerBlock = 512;

// A field point with the global axes as its own, so that the kernel's three components are x, y, z.
assembly::FieldPanel GlobalAxesAt(const Vector3& p) { return {p[0], p[1], p[2], 1, 0, 0, 0, 1, 0, 0, 0, 1}; }

}  // namespace

FieldValues FlowAtPoints(const PanelModel& model, const Array2D<double>& Sigma, const FreeStream& vinf,
                         const std::vector<Vector3>& points, Progress* progress) {
    const long M = static_cast<long>(points.size());
    const long N = static_cast<long>(model.PanelCount());
    FieldValues values{std::vector<Vector3>(points.size()), std::vector<double>(points.size()),
                       std::vector<double>(points.size()), std::vector<unsigned char>(points.size())};

    const int e = NormalisingExponent(model);
    const PanelModel scaled = e != 0 ? ScaledModel(model, e) : PanelModel{};
    const PanelModel& body = e != 0 ? scaled : model;
    // The source panels in blocks that fit the nearer caches, each block its own layout.
    std::vector<std::unique_ptr<SourcePanels>> blocks;
    for (long first = 0; first < N; first += kColumnsPerBlock)
        blocks.push_back(std::make_unique<SourcePanels>(body, first, std::min(kColumnsPerBlock, N - first), 1));
    const assembly::PotentialRowKernel kernel = PotentialRowKernelFor();
    std::vector<double> sigma(static_cast<std::size_t>(N));
    for (int i = 1; i <= model.NI; ++i)
        for (int j = 1; j <= model.NJ; ++j) sigma[static_cast<std::size_t>(i - 1) * model.NJ + (j - 1)] = Sigma(i, j);
    // The stream's speed without overflow, for any stream within a double's range.
    const double U = std::hypot(vinf.VinfX, vinf.VinfY, vinf.VinfZ);

    const long tasks = (M + kPointsPerTask - 1) / kPointsPerTask;
    std::atomic<long> done{0};
    double reported = 0.0;
    ThreadPool::Shared().ParallelFor(tasks, [&](long task, unsigned worker) {
        ThrowIfStopRequested(progress);
        std::vector<double> buffer(5 * kColumnsPerBlock);
        double* u = buffer.data();
        double *v = u + kColumnsPerBlock, *w = v + kColumnsPerBlock, *phi = w + kColumnsPerBlock,
               *solidAngle = phi + kColumnsPerBlock;
        const long first = task * kPointsPerTask, last = std::min(M, first + kPointsPerTask);
        for (long p = first; p < last; ++p) {
            ThrowIfStopRequested(progress);
            const Vector3& point = points[static_cast<std::size_t>(p)];
            const assembly::FieldPanel field = GlobalAxesAt({std::ldexp(point[0], e), std::ldexp(point[1], e),
                                                             std::ldexp(point[2], e)});
            double Vx = 0.0, Vy = 0.0, Vz = 0.0, solidAngles = 0.0;  // the last over 4 Pi
            for (const auto& block : blocks) {
                const assembly::SourceArrays& arrays = block->arrays();
                kernel(arrays, field, 0, arrays.count, u, v, w, phi, solidAngle);
                const double* s = sigma.data() + (&block - blocks.data()) * kColumnsPerBlock;
                for (long n = 0; n < arrays.count; ++n) {
                    Vx += s[n] * u[n], Vy += s[n] * v[n], Vz += s[n] * w[n];
                    solidAngles += solidAngle[n];
                }
            }
            const bool inside = solidAngles < -0.5;
            const Vector3 V = inside ? Vector3{0.0, 0.0, 0.0} : Vector3{vinf.VinfX + Vx, vinf.VinfY + Vy, vinf.VinfZ + Vz};
            const auto at = static_cast<std::size_t>(p);
            values.velocity[at] = V;
            values.oneMinusCp[at] = (V[0] / U) * (V[0] / U) + (V[1] / U) * (V[1] / U) + (V[2] / U) * (V[2] / U);
            values.cp[at] = 1.0 - values.oneMinusCp[at];
            values.inside[at] = inside ? 1 : 0;
        }
        const long finished = done.fetch_add(last - first) + (last - first);
        const double fraction = static_cast<double>(finished) / static_cast<double>(M);
        if (worker == 0 && progress != nullptr && fraction - reported >= 0.005 && finished < M) {
            progress->Report(kStageFlowAtPoints, fraction);
            reported = fraction;
        }
    });
    if (progress != nullptr) progress->Report(kStageFlowAtPoints, 1.0);
    return values;
}

}  // namespace panelflow
