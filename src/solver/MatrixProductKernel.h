#pragma once
// The blocks of the elimination's matrix product C -= A B, shared by the instruction-set kernels
// and the threads that call them. Every matrix is row-major, 0-based, with a leading dimension;
// the operands do not overlap C.

namespace panelflow::product {

struct Operands {
    long M, N, K;
    const double* A;
    long lda;
    const double* B;
    long ldb;
    double* C;
    long ldc;
};

// The cache blocking of the AVX-512 kernel: C is updated in tiles of kTileRows x kTileColumns
// from a packed sliver of kDepth steps of A (first-level cache) and of B (second-level cache).
inline constexpr long kTileRows = 8;
inline constexpr long kTileColumns = 24;
inline constexpr long kDepth = 256;
inline constexpr long kRowBlock = 30 * kTileRows;         // rows of A packed at once: 480 kB
inline constexpr long kColumnBlock = 85 * kTileColumns;  // columns of B packed at once: 4 MB

// Packed copies of the operands, one set per thread; 64-byte aligned. The blocks are whole
// tiles, so that the zeros padding a partial tile stay within them.
struct PackBuffers {
    double* a;  // kRowBlock * kDepth
    double* b;  // kDepth * kColumnBlock
};

// C -= A B on the calling thread with AVX-512 instructions; the caller checks the processor.
void SubtractProductAvx512(const Operands& operands, const PackBuffers& buffers);

}  // namespace panelflow::product
