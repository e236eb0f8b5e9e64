#pragma once
// The elimination's large matrix product, C -= A B, on every core.
//
// Row-major 0-based operands with leading dimensions; C does not overlap A or B. On a processor
// with AVX-512 the product runs its own packed kernel on a team of threads that lives as long as
// the object (OpenBLAS 0.3.21 picks its AVX2 kernels on such processors when it does not know
// the model); elsewhere it is OpenBLAS's dgemm. Results agree with dgemm up to rounding.

#include <memory>

namespace panelflow {

class MatrixProduct {
public:
    enum class Kernel { Best, Blas, Avx512 };

    // threads == 0: as many as OpenBLAS uses (one per core unless OPENBLAS_NUM_THREADS says
    // fewer). Kernel::Avx512 on a processor without it falls back to Blas.
    explicit MatrixProduct(Kernel kernel = Kernel::Best, unsigned threads = 0);
    ~MatrixProduct();
    MatrixProduct(const MatrixProduct&) = delete;
    MatrixProduct& operator=(const MatrixProduct&) = delete;

    void SubtractProduct(long M, long N, long K, const double* A, long lda, const double* B, long ldb, double* C,
                         long ldc);

    Kernel kernel() const;

private:
    struct Team;
    std::unique_ptr<Team> team_;
};

}  // namespace panelflow
