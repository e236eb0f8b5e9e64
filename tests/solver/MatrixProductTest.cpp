#include "solver/MatrixProduct.h"

#include <cblas.h>
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "common/Array.h"
#include "solver/AssemblyVector.h"
#include "solver/GaussSolve.h"

namespace panelflow {
namespace {

struct ProductCase {
    MatrixProduct::Kernel kernel;
    unsigned threads;
    long M, N, K;
};

std::ostream& operator<<(std::ostream& out, const ProductCase& c) {
    return out << (c.kernel == MatrixProduct::Kernel::Blas ? "Blas" : "Avx512") << " threads " << c.threads << " "
               << c.M << " x " << c.N << " x " << c.K;
}

class ProductShapes : public ::testing::TestWithParam<ProductCase> {};

// C sits inside a larger array with a margin on every side holding signalling NaNs, so that a
// tile written past the edge of C (or of a row of it) shows up as a changed margin entry, even
// when it writes back what it read: arithmetic turns a signalling NaN into a quiet one.
TEST_P(ProductShapes, SubtractsTheProductAndTouchesNothingElse) {
    const ProductCase c = GetParam();
    if (c.kernel == MatrixProduct::Kernel::Avx512 && !ProcessorSupports(VectorInstructions::Avx512))
        GTEST_SKIP() << "no AVX-512 on this processor";
    const long lda = c.K + 3, ldb = c.N + 5, ldc = c.N + 7, margin = 2;
    std::mt19937 random(static_cast<unsigned>(c.M * 131 + c.N * 17 + c.K));
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    std::vector<double> A(static_cast<std::size_t>(c.M * lda)), B(static_cast<std::size_t>(c.K * ldb));
    std::vector<double> C(static_cast<std::size_t>((c.M + 2 * margin) * ldc));
    for (double& a : A) a = value(random);
    for (double& b : B) b = value(random);
    for (double& x : C) x = value(random);
    for (long i = 0; i < c.M + 2 * margin; ++i)
        for (long j = 0; j < ldc; ++j)
            if (i < margin || i >= c.M + margin || j < margin || j >= c.N)
                C[static_cast<std::size_t>(i * ldc + j)] = std::numeric_limits<double>::signaling_NaN();
    const std::vector<double> before = C;
    double* block = C.data() + margin * ldc + margin;

    MatrixProduct product(c.kernel, c.threads);
    ASSERT_EQ(product.kernel(), c.kernel);
    product.SubtractProduct(c.M, c.N - margin, c.K, A.data(), lda, B.data(), ldb, block, ldc);

    for (long i = 0; i < c.M + 2 * margin; ++i)
        for (long j = 0; j < ldc; ++j) {
            const long r = i - margin, col = j - margin;
            const std::size_t at = static_cast<std::size_t>(i * ldc + j);
            if (r < 0 || r >= c.M || col < 0 || col >= c.N - margin) {
                ASSERT_EQ(std::bit_cast<std::uint64_t>(C[at]), std::bit_cast<std::uint64_t>(before[at]))
                    << "outside C at " << i << ", " << j;
                continue;
            }
            double expected = before[at];
            for (long p = 0; p < c.K; ++p) expected -= A[static_cast<std::size_t>(r * lda + p)] * B[static_cast<std::size_t>(p * ldb + col)];
            ASSERT_NEAR(C[at], expected, 1e-13 * static_cast<double>(c.K + 1)) << r << ", " << col;
        }
}

constexpr auto kBlas = MatrixProduct::Kernel::Blas;
constexpr auto kAvx512 = MatrixProduct::Kernel::Avx512;

// Whole and partial tiles of 8 x 24, depths across the 256-step slivers, row blocks past 240,
// column blocks of full depth past 2040, shares split by rows (tall) and by columns (wide), and
// more workers than tiles to share.
INSTANTIATE_TEST_SUITE_P(
    Kernels, ProductShapes,
    ::testing::Values(ProductCase{kAvx512, 1, 1, 3, 1}, ProductCase{kAvx512, 1, 7, 25, 5},
                      ProductCase{kAvx512, 1, 8, 26, 256}, ProductCase{kAvx512, 1, 9, 27, 257},
                      ProductCase{kAvx512, 1, 241, 60, 300}, ProductCase{kAvx512, 1, 17, 2100, 33},
                      ProductCase{kAvx512, 1, 9, 4200, 260},
                      ProductCase{kAvx512, 2, 500, 40, 200}, ProductCase{kAvx512, 2, 60, 700, 300},
                      ProductCase{kAvx512, 2, 301, 302, 513}, ProductCase{kAvx512, 3, 400, 97, 150},
                      ProductCase{kAvx512, 3, 97, 400, 150}, ProductCase{kAvx512, 8, 20, 30, 400},
                      ProductCase{kAvx512, 8, 9, 8, 30000},
                      ProductCase{kBlas, 2, 301, 302, 70}, ProductCase{kBlas, 1, 9, 27, 5}),
    [](const ::testing::TestParamInfo<ProductCase>& info) {
        const ProductCase& c = info.param;
        return std::string(c.kernel == kBlas ? "Blas" : "Avx512") + "Threads" + std::to_string(c.threads) + "_" +
               std::to_string(c.M) + "x" + std::to_string(c.N) + "x" + std::to_string(c.K);
    });

TEST(MatrixProduct, EmptyProductsChangeNothing) {
    std::vector<double> C(12, 5.0);
    const std::vector<double> A(12, 1.0), B(12, 1.0);
    MatrixProduct product;
    product.SubtractProduct(0, 3, 3, A.data(), 3, B.data(), 3, C.data(), 3);
    product.SubtractProduct(3, 0, 3, A.data(), 3, B.data(), 3, C.data(), 3);
    product.SubtractProduct(3, 3, 0, A.data(), 3, B.data(), 3, C.data(), 3);
    EXPECT_EQ(C, std::vector<double>(12, 5.0));
}

TEST(MatrixProduct, OneTeamServesManyProductsInTurn) {
    const long n = 200;
    std::vector<double> A(static_cast<std::size_t>(n * n), 0.5), B(static_cast<std::size_t>(n * n), 0.25);
    std::vector<double> C(static_cast<std::size_t>(n * n), 0.0);
    MatrixProduct product;
    for (int round = 0; round < 50; ++round) product.SubtractProduct(n, n, n, A.data(), n, B.data(), n, C.data(), n);
    for (const double c : C) ASSERT_EQ(c, -50 * n * 0.125);
}

// The elimination quiets OpenBLAS's own threads while its team works; the program's other BLAS
// calls must find them as they were, after a solution and after a zero pivot alike.
TEST(MatrixProduct, EliminationLeavesOpenBlasThreadCountAsItWas) {
    const int threads = openblas_get_num_threads();
    const long N = 300;
    Array2D<double> A(N, N + 1);
    Array1D<double> X(N);
    for (long i = 1; i <= N; ++i)
        for (long j = 1; j <= N + 1; ++j) A(i, j) = i == j ? 10.0 : 1.0 / static_cast<double>(i + j);
    EXPECT_FALSE(GaussSolve(N, A, X).zeroPivot);
    EXPECT_EQ(openblas_get_num_threads(), threads);
    A(1, 1) = 0.0;
    EXPECT_TRUE(GaussSolve(N, A, X).zeroPivot);
    EXPECT_EQ(openblas_get_num_threads(), threads);
}

}  // namespace
}  // namespace panelflow
