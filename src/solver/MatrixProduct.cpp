#include "solver/MatrixProduct.h"

#include <cblas.h>
#include <immintrin.h>

#include <algorithm>
#include <atomic>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include "solver/AssemblyVector.h"
#include "solver/MatrixProductKernel.h"

namespace panelflow {
namespace {

using product::Operands;
using product::PackBuffers;

constexpr double kFlopsToShare = 4.0e6;  // smaller products stay on the calling thread

struct AlignedFree {
    void operator()(double* p) const { ::operator delete[](p, std::align_val_t{64}); }
};
using AlignedDoubles = std::unique_ptr<double[], AlignedFree>;

AlignedDoubles AllocateAligned(long count) {
    return AlignedDoubles(new (std::align_val_t{64}) double[static_cast<std::size_t>(count)]);
}

// The share of worker w of T: a band of whole tiles of C's rows or of its columns, whichever
// are more, so that the operand every worker packs in full is the smaller one.
Operands Share(const Operands& o, unsigned w, unsigned T) {
    Operands part = o;
    const bool byColumns = o.N > o.M;
    const long extent = byColumns ? o.N : o.M;
    const long unit = byColumns ? product::kTileColumns : product::kTileRows;
    const long units = (extent + unit - 1) / unit;
    const long first = std::min(extent, units * w / T * unit);
    const long last = std::min(extent, units * (w + 1) / T * unit);
    if (byColumns) {
        part.N = last - first;
        part.B += first;
        part.C += first;
    } else {
        part.M = last - first;
        part.A += first * o.lda;
        part.C += first * o.ldc;
    }
    return part;
}

}  // namespace

struct MatrixProduct::Team {
    Kernel kernel;
    unsigned threads;
    std::vector<AlignedDoubles> storage;
    std::vector<PackBuffers> buffers;  // one set per worker; worker 0 is the calling thread

    // The helpers wait for a new generation, work on their share of `task` and count themselves
    // done. A short spin before sleeping keeps the hand-over cheap between the elimination's
    // consecutive products.
    Operands task{};
    std::atomic<unsigned> generation{0};
    std::atomic<unsigned> finished{0};
    std::atomic<bool> stopping{false};
    std::vector<std::jthread> helpers;

    // Nothing is allocated or started until a product needs it: small eliminations never do.
    Team(Kernel k, unsigned T) : kernel(k), threads(T) {}

    void AllocateBuffers(unsigned workers) {
        while (buffers.size() < workers) {
            storage.push_back(AllocateAligned(product::kRowBlock * product::kDepth));
            storage.push_back(AllocateAligned(product::kDepth * product::kColumnBlock));
            buffers.push_back({storage[storage.size() - 2].get(), storage.back().get()});
        }
    }

    void StartHelpers() {
        AllocateBuffers(threads);
        try {
            for (unsigned w = 1; w < threads; ++w) helpers.emplace_back([this, w] { Serve(w); });
        } catch (const std::system_error&) {
            // The system would start no more threads: the ones running share the work.
            threads = static_cast<unsigned>(helpers.size()) + 1;
        }
    }

    ~Team() {
        stopping.store(true);
        generation.fetch_add(1);
        generation.notify_all();
        helpers.clear();
    }

    // Returns once value differs from old.
    static void Await(const std::atomic<unsigned>& value, unsigned old) {
        for (int spin = 0; spin < 20000 && value.load(std::memory_order_acquire) == old; ++spin) _mm_pause();
        while (value.load(std::memory_order_acquire) == old) value.wait(old, std::memory_order_acquire);
    }

    void Serve(unsigned w) {
        unsigned seen = 0;
        for (;;) {
            Await(generation, seen);
            seen = generation.load(std::memory_order_acquire);
            if (stopping.load()) return;
            const Operands part = Share(task, w, threads);
            if (part.M > 0 && part.N > 0) product::SubtractProductAvx512(part, buffers[w]);
            if (finished.fetch_add(1, std::memory_order_acq_rel) + 1 == threads - 1) finished.notify_one();
        }
    }

    void Run(const Operands& o) {
        const double flops = 2.0 * static_cast<double>(o.M) * static_cast<double>(o.N) * static_cast<double>(o.K);
        if (threads > 1 && flops >= kFlopsToShare && helpers.empty()) StartHelpers();
        if (threads == 1 || flops < kFlopsToShare) {
            AllocateBuffers(1);
            product::SubtractProductAvx512(o, buffers[0]);
            return;
        }
        task = o;
        finished.store(0, std::memory_order_relaxed);
        generation.fetch_add(1, std::memory_order_release);
        generation.notify_all();
        const Operands part = Share(o, 0, threads);
        if (part.M > 0 && part.N > 0) product::SubtractProductAvx512(part, buffers[0]);
        for (unsigned done; (done = finished.load(std::memory_order_acquire)) != threads - 1;) Await(finished, done);
    }
};

MatrixProduct::MatrixProduct(Kernel kernel, unsigned threads) {
    const bool avx512 = ProcessorSupports(VectorInstructions::Avx512);
    if (kernel == Kernel::Best || (kernel == Kernel::Avx512 && !avx512)) kernel = avx512 ? Kernel::Avx512 : Kernel::Blas;
    // As many threads as OpenBLAS uses: one per core, unless the user has set fewer for it.
    if (threads == 0) threads = static_cast<unsigned>(std::max(1, openblas_get_num_threads()));
    team_ = std::make_unique<Team>(kernel, threads);
}

MatrixProduct::~MatrixProduct() = default;

MatrixProduct::Kernel MatrixProduct::kernel() const { return team_->kernel; }

void MatrixProduct::SubtractProduct(long M, long N, long K, const double* A, long lda, const double* B, long ldb,
                                    double* C, long ldc) {
    if (M <= 0 || N <= 0 || K <= 0) return;
    if (team_->kernel == Kernel::Blas) {
        cblas_dgemm(CblasRowMajor, CblasNoTrans, CblasNoTrans, static_cast<int>(M), static_cast<int>(N),
                    static_cast<int>(K), -1.0, A, static_cast<int>(lda), B, static_cast<int>(ldb), 1.0, C,
                    static_cast<int>(ldc));
        return;
    }
    team_->Run({M, N, K, A, lda, B, ldb, C, ldc});
}

}  // namespace panelflow
