#include <immintrin.h>

#include <algorithm>

#include "solver/MatrixProductKernel.h"

namespace panelflow::product {
namespace {

constexpr long kVectors = kTileColumns / 8;  // eight doubles to a register

// Eight rows of eight doubles, transposed in registers: out[c] holds column c of the rows.
inline void Transpose8x8(__m512d row[8]) {
    const __m512d t0 = _mm512_unpacklo_pd(row[0], row[1]), t1 = _mm512_unpackhi_pd(row[0], row[1]);
    const __m512d t2 = _mm512_unpacklo_pd(row[2], row[3]), t3 = _mm512_unpackhi_pd(row[2], row[3]);
    const __m512d t4 = _mm512_unpacklo_pd(row[4], row[5]), t5 = _mm512_unpackhi_pd(row[4], row[5]);
    const __m512d t6 = _mm512_unpacklo_pd(row[6], row[7]), t7 = _mm512_unpackhi_pd(row[6], row[7]);
    const __m512d u0 = _mm512_shuffle_f64x2(t0, t2, 0x88), u1 = _mm512_shuffle_f64x2(t1, t3, 0x88);
    const __m512d u2 = _mm512_shuffle_f64x2(t0, t2, 0xDD), u3 = _mm512_shuffle_f64x2(t1, t3, 0xDD);
    const __m512d u4 = _mm512_shuffle_f64x2(t4, t6, 0x88), u5 = _mm512_shuffle_f64x2(t5, t7, 0x88);
    const __m512d u6 = _mm512_shuffle_f64x2(t4, t6, 0xDD), u7 = _mm512_shuffle_f64x2(t5, t7, 0xDD);
    row[0] = _mm512_shuffle_f64x2(u0, u4, 0x88), row[1] = _mm512_shuffle_f64x2(u1, u5, 0x88);
    row[2] = _mm512_shuffle_f64x2(u2, u6, 0x88), row[3] = _mm512_shuffle_f64x2(u3, u7, 0x88);
    row[4] = _mm512_shuffle_f64x2(u0, u4, 0xDD), row[5] = _mm512_shuffle_f64x2(u1, u5, 0xDD);
    row[6] = _mm512_shuffle_f64x2(u2, u6, 0xDD), row[7] = _mm512_shuffle_f64x2(u3, u7, 0xDD);
}

// Rows [0, m) and steps [0, k) of A as slivers of kTileRows rows: step p of a sliver holds its
// rows' entries one after another. Rows past m are zeros.
void PackA(long m, long k, const double* A, long lda, double* packed) {
    static_assert(kTileRows == 8);
    for (long i0 = 0; i0 < m; i0 += kTileRows, packed += kTileRows * k) {
        const long rows = std::min(kTileRows, m - i0);
        const double* source = A + i0 * lda;
        long p = 0;
        if (rows == kTileRows) {
            for (; p + 8 <= k; p += 8) {
                __m512d block[8];
                for (long r = 0; r < 8; ++r) block[r] = _mm512_loadu_pd(source + r * lda + p);
                Transpose8x8(block);
                for (long c = 0; c < 8; ++c) _mm512_store_pd(packed + (p + c) * kTileRows, block[c]);
            }
        }
        for (; p < k; ++p) {
            for (long r = 0; r < rows; ++r) packed[p * kTileRows + r] = source[r * lda + p];
            for (long r = rows; r < kTileRows; ++r) packed[p * kTileRows + r] = 0.0;
        }
    }
}

// Steps [0, k) and columns [0, n) of B as slivers of kTileColumns columns, step after step.
// Columns past n are zeros.
void PackB(long k, long n, const double* B, long ldb, double* packed) {
    for (long j0 = 0; j0 < n; j0 += kTileColumns, packed += kTileColumns * k) {
        const long columns = std::min(kTileColumns, n - j0);
        const __mmask8 masks[kVectors] = {
            static_cast<__mmask8>(columns >= 8 ? 0xFF : (1u << columns) - 1),
            static_cast<__mmask8>(columns >= 16 ? 0xFF : columns <= 8 ? 0 : (1u << (columns - 8)) - 1),
            static_cast<__mmask8>(columns >= 24 ? 0xFF : columns <= 16 ? 0 : (1u << (columns - 16)) - 1)};
        for (long p = 0; p < k; ++p) {
            const double* source = B + p * ldb + j0;
            for (long v = 0; v < kVectors; ++v)
                _mm512_store_pd(packed + p * kTileColumns + 8 * v, _mm512_maskz_loadu_pd(masks[v], source + 8 * v));
        }
    }
}

// One tile: C(0..rows, 0..columns) -= the product of a packed sliver of A and one of B.
inline void SubtractTile(long k, const double* a, const double* b, double* C, long ldc, long rows, long columns) {
    __m512d sum[kTileRows][kVectors];
#pragma GCC unroll 8
    for (long r = 0; r < kTileRows; ++r)
#pragma GCC unroll 3
        for (long v = 0; v < kVectors; ++v) sum[r][v] = _mm512_setzero_pd();
    for (long r = 0; r < rows; ++r) {
        _mm_prefetch(reinterpret_cast<const char*>(C + r * ldc), _MM_HINT_T0);
        _mm_prefetch(reinterpret_cast<const char*>(C + r * ldc + kTileColumns - 1), _MM_HINT_T0);
    }
    for (long p = 0; p < k; ++p, a += kTileRows, b += kTileColumns) {
        __m512d bp[kVectors];
#pragma GCC unroll 3
        for (long v = 0; v < kVectors; ++v) bp[v] = _mm512_load_pd(b + 8 * v);
#pragma GCC unroll 8
        for (long r = 0; r < kTileRows; ++r) {
            const __m512d ap = _mm512_set1_pd(a[r]);
#pragma GCC unroll 3
            for (long v = 0; v < kVectors; ++v) sum[r][v] = _mm512_fmadd_pd(ap, bp[v], sum[r][v]);
        }
    }
    if (rows == kTileRows && columns == kTileColumns) {
#pragma GCC unroll 8
        for (long r = 0; r < kTileRows; ++r)
#pragma GCC unroll 3
            for (long v = 0; v < kVectors; ++v) {
                double* c = C + r * ldc + 8 * v;
                _mm512_storeu_pd(c, _mm512_sub_pd(_mm512_loadu_pd(c), sum[r][v]));
            }
        return;
    }
    for (long r = 0; r < rows; ++r)
        for (long v = 0; v < kVectors && 8 * v < columns; ++v) {
            const long left = columns - 8 * v;
            const __mmask8 mask = static_cast<__mmask8>(left >= 8 ? 0xFF : (1u << left) - 1);
            double* c = C + r * ldc + 8 * v;
            _mm512_mask_storeu_pd(c, mask, _mm512_sub_pd(_mm512_maskz_loadu_pd(mask, c), sum[r][v]));
        }
}

}  // namespace

void SubtractProductAvx512(const Operands& o, const PackBuffers& buffers) {
    for (long jc = 0; jc < o.N; jc += kColumnBlock) {
        const long nc = std::min(kColumnBlock, o.N - jc);
        for (long pc = 0; pc < o.K; pc += kDepth) {
            const long kc = std::min(kDepth, o.K - pc);
            PackB(kc, nc, o.B + pc * o.ldb + jc, o.ldb, buffers.b);
            for (long ic = 0; ic < o.M; ic += kRowBlock) {
                const long mc = std::min(kRowBlock, o.M - ic);
                PackA(mc, kc, o.A + ic * o.lda + pc, o.lda, buffers.a);
                for (long jr = 0; jr < nc; jr += kTileColumns)
                    for (long ir = 0; ir < mc; ir += kTileRows)
                        SubtractTile(kc, buffers.a + ir * kc, buffers.b + jr * kc, o.C + (ic + ir) * o.ldc + jc + jr,
                                     o.ldc, std::min(kTileRows, mc - ir), std::min(kTileColumns, nc - jr));
            }
        }
    }
}

}  // namespace panelflow::product
