// SPDX-License-Identifier: GPL-3.0-or-later
#include "solver/Gmres.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace panelflow {
namespace {

// A dense nonsymmetric system with a known solution: the identity plus a random matrix of norm
// about 0.9, as second-kind equations are.
struct ManufacturedSystem {
    explicit ManufacturedSystem(long size) : n(size), A(size * size), x(size), b(size) {
        std::mt19937_64 random(7);
        std::uniform_real_distribution<double> uniform(-1.0, 1.0);
        for (long i = 0; i < n; ++i)
            for (long j = 0; j < n; ++j) A[i * n + j] = (i == j ? 1.0 : 0.0) + 0.9 * uniform(random) / std::sqrt(n);
        for (long i = 0; i < n; ++i) x[i] = uniform(random);
        Multiply(x.data(), b.data());
    }
    void Multiply(const double* in, double* out) const {
        for (long i = 0; i < n; ++i) {
            out[i] = 0.0;
            for (long j = 0; j < n; ++j) out[i] += A[i * n + j] * in[j];
        }
    }
    long n;
    std::vector<double> A, x, b;
};

TEST(Gmres, FindsTheManufacturedSolutionAcrossRestarts) {
    const ManufacturedSystem system(120);
    for (const int restart : {5, 200}) {
        std::vector<double> x(system.n, 0.0);
        const GmresResult result = Gmres([&](const double* in, double* out) { system.Multiply(in, out); }, system.n,
                                         system.b.data(), x.data(), GmresSettings{1e-12, 1000, restart});
        EXPECT_TRUE(result.converged) << "restart " << restart;
        EXPECT_LE(result.relativeResidual, 1e-12);
        for (long i = 0; i < system.n; ++i) ASSERT_NEAR(x[i], system.x[i], 1e-10) << "restart " << restart;
    }
}

TEST(Gmres, StopsAtTheIterationLimitAndWhenAskedToStop) {
    const ManufacturedSystem system(60);
    auto product = [&](const double* in, double* out) { system.Multiply(in, out); };
    std::vector<double> x(system.n, 0.0);
    const GmresResult limited = Gmres(product, system.n, system.b.data(), x.data(), GmresSettings{1e-14, 4, 60});
    EXPECT_FALSE(limited.converged);
    EXPECT_EQ(limited.iterations, 4);

    class StopAfterReports : public Progress {
    public:
        void Report(std::string_view, double) override { ++reports; }
        bool StopRequested() const override { return reports >= 3; }
        int reports = 0;
    } stop;
    EXPECT_THROW(Gmres(product, system.n, system.b.data(), x.data(), GmresSettings{1e-14, 1000, 60}, &stop),
                 Cancelled);
    EXPECT_EQ(stop.reports, 3);
}

}  // namespace
}  // namespace panelflow
