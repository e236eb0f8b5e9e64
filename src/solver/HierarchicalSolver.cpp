// SPDX-License-Identifier: GPL-3.0-or-later
#include "solver/HierarchicalSolver.h"

#include <cblas.h>
#include <hmat/hmat.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <complex>
#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "base/ProcessLimits.h"
#include "base/ThreadPool.h"
#include "solver/BlasKernels.h"
#include "solver/Gmres.h"
#include "solver/SourcePanels.h"

namespace panelflow {
namespace {

// How hmat-oss 1.8 behaves, and what this file does about it:
// - It works on the calling thread alone and calls the block callbacks one at a time.
// - Its C functions catch every std::exception (its own failed allocations and assertions are
//   std::runtime_error, and a std::bad_alloc thrown by a callback too), print its text on
//   standard error and return 1. Any other exception passes through them and unwinds the
//   library's frames cleanly; the matrix can then still be destroyed (only the block being
//   filled leaks). So the callbacks throw Cancelled and MemoryRunOut, never a std::exception,
//   and a status of 1 from a function that allocates is taken for memory that was not there.
// - Its progress callback is called during factorisations only, not during assembly.
// - Memory that the system overcommits does not fail to allocate but gets the process killed:
//   the block callbacks watch the memory the process may still use and stop the work while a
//   reserve is left.
struct MemoryRunOut {};

constexpr double kMemoryReserve = 64e6;  // bytes kept free: more than the matrices grow by between two checks
constexpr auto kMemoryCheckInterval = std::chrono::milliseconds(100);
constexpr double kAdmissibility = 2.0;    // far: the smaller cluster's diameter is at most 2 distances
constexpr double kIterationTolerance = 0.01;  // relative to the accuracy: products are cheap
constexpr long kSerialEntries = 8192;     // a request smaller than this stays on the library's thread
constexpr long kEntriesPerTask = 2048;  // of a single row or column

template <class Handle, void (*Delete)(Handle*)>
struct Deleter {
    void operator()(Handle* handle) const { Delete(handle); }
};
void DeleteTree(hmat_cluster_tree_t* tree) { hmat_delete_cluster_tree(tree); }
void DeleteClustering(hmat_clustering_algorithm_t* algorithm) { hmat_delete_clustering(algorithm); }
void DeleteAdmissibility(hmat_admissibility_t* condition) { hmat_delete_admissibility(condition); }
void DeleteCompression(hmat_compression_algorithm_t* algorithm) { hmat_delete_compression(algorithm); }
using ClusterTree = std::unique_ptr<hmat_cluster_tree_t, Deleter<hmat_cluster_tree_t, DeleteTree>>;
using Clustering = std::unique_ptr<hmat_clustering_algorithm_t, Deleter<hmat_clustering_algorithm_t, DeleteClustering>>;
using Admissibility = std::unique_ptr<hmat_admissibility_t, Deleter<hmat_admissibility_t, DeleteAdmissibility>>;
using Compression =
    std::unique_ptr<hmat_compression_algorithm_t, Deleter<hmat_compression_algorithm_t, DeleteCompression>>;

// The library's BLAS calls are small (a block's rows, its rank): OpenBLAS's threads would only
// spin beside the thread pool's workers, which fill the blocks. One BLAS thread while it runs.
class OneBlasThread {
public:
    OneBlasThread() : before_(openblas_get_num_threads()) { openblas_set_num_threads(1); }
    ~OneBlasThread() { openblas_set_num_threads(before_); }
    OneBlasThread(const OneBlasThread&) = delete;
    OneBlasThread& operator=(const OneBlasThread&) = delete;

private:
    int before_;
};

// One hierarchical matrix of the library, with the interface of its scalar type.
class HMatrix {
public:
    HMatrix(hmat_value_t type, const hmat_cluster_tree_t* tree, hmat_admissibility_t* admissibility, double accuracy) {
        hmat_init_default_interface(&hmat_, type);
        matrix_ = hmat_.create_empty_hmatrix_admissibility(tree, tree, 0, admissibility);
        if (matrix_ == nullptr) throw std::bad_alloc();
        hmat_.set_low_rank_epsilon(matrix_, accuracy);
    }
    ~HMatrix() { hmat_.destroy(matrix_); }
    HMatrix(const HMatrix&) = delete;
    HMatrix& operator=(const HMatrix&) = delete;

    hmat_interface_t& hmat() { return hmat_; }
    hmat_matrix_t* get() { return matrix_; }

    double Bytes(std::size_t scalarBytes) {
        hmat_info_t info{};
        hmat_.get_info(matrix_, &info);
        return static_cast<double>(info.compressed_size) * static_cast<double>(scalarBytes);
    }

    // Y = A X for `columns` vectors (column-major, N x columns), in the library's numbering.
    template <class T>
    void Product(T* X, T* Y, int columns = 1) {
        const T one = 1.0, zero = 0.0;
        if (hmat_.gemm_dense('N', 'N', 'L', &one, matrix_, X, &zero, Y, columns) != 0) throw std::bad_alloc();
    }

private:
    hmat_interface_t hmat_{};
    hmat_matrix_t* matrix_ = nullptr;
};

// What the block callbacks share: the panels in the library's numbering, progress and stop, and
// the memory watch. The library's thread alone reports and checks.
class BlockFill {
public:
    BlockFill(const PanelModel& model, const int* panelOf, Progress* progress)
        : fields_(static_cast<std::size_t>(model.PanelCount())),
          sources_(model, std::vector<long>(panelOf, panelOf + model.PanelCount())),
          progress_(progress),
          total_(static_cast<double>(model.PanelCount()) * static_cast<double>(model.PanelCount())) {
        for (std::size_t k = 0; k < fields_.size(); ++k)
            fields_[k] = FieldPanelOf(model, static_cast<int>(panelOf[k] / model.NJ) + 1,
                                      static_cast<int>(panelOf[k] % model.NJ) + 1);
    }

    // Between blocks and requests: stop, memory and progress.
    void Check() {
        ThrowIfStopRequested(progress_);
        const auto now = std::chrono::steady_clock::now();
        if (now - lastMemoryCheck_ >= kMemoryCheckInterval) {
            lastMemoryCheck_ = now;
            if (UsableMemory().bytes < kMemoryReserve) throw MemoryRunOut{};
        }
    }
    void BlockStarts(int rows, int columns) {
        if (progress_ == nullptr) return;
        const double fraction = covered_ / total_;
        if (fraction - reported_ >= 0.005) {
            progress_->Report(stage_, fraction);
            reported_ = fraction;
        }
        covered_ += static_cast<double>(rows) * static_cast<double>(columns);
    }
    void StartStage(std::string_view stage) {
        stage_ = stage;
        covered_ = reported_ = 0.0;
    }

    // Entries of the block whose rows are the library's indices rowStart + r0 .. and whose
    // columns are its indices colStart + c0 .., column by column (column-major), each made by
    // `store(out, k, u, v, w)` from the three influences of entry k. A single column is computed
    // down the column (one source panel at many control points), anything else row by row.
    template <class T, class Store>
    void Fill(int rowStart, int r0, int rn, int colStart, int c0, int cn, T* out, Store store) {
        Check();
        const long firstRow = static_cast<long>(rowStart) + r0, firstColumn = static_cast<long>(colStart) + c0;
        const bool column = cn == 1 && rn > 1;
        // Rows (or the column's entries) from .. to - 1 of the request, in columns of the block
        // first .. last - 1 (or the one column).
        auto part = [&](long i, long from, long to) {
            thread_local std::vector<double> scratch;
            if (scratch.size() < static_cast<std::size_t>(3 * (to - from))) scratch.resize(3 * (to - from));
            double *u = scratch.data(), *v = u + (to - from), *w = v + (to - from);
            if (column) {
                sources_.Column(firstColumn, firstRow + from, firstRow + to, u, v, w);
                for (long k = from; k < to; ++k) store(out, k, u[k - from], v[k - from], w[k - from]);
            } else {
                sources_.Row(fields_[firstRow + i], firstColumn + from, firstColumn + to, u, v, w);
                for (long k = from; k < to; ++k) store(out, i + k * rn, u[k - from], v[k - from], w[k - from]);
            }
        };
        const long length = column ? rn : cn;  // of one row, or of the column
        try {
            if (static_cast<long>(rn) * cn < kSerialEntries) {
                for (long i = 0; i < (column ? 1 : rn); ++i) part(i, 0, length);
            } else if (!column && rn > 1) {
                ThreadPool::Shared().ParallelFor(rn, [&](long i, unsigned) { part(i, 0, length); });
            } else {
                const long tasks = (length + kEntriesPerTask - 1) / kEntriesPerTask;
                ThreadPool::Shared().ParallelFor(tasks, [&](long t, unsigned) {
                    part(0, t * kEntriesPerTask, std::min(length, (t + 1) * kEntriesPerTask));
                });
            }
        } catch (const std::bad_alloc&) {
            throw MemoryRunOut{};
        }
    }

private:
    std::vector<assembly::FieldPanel> fields_;  // in the library's numbering
    const SourcePanels sources_;
    Progress* progress_;
    std::string_view stage_ = kStageInfluence;
    double total_, covered_ = 0.0, reported_ = 0.0;
    std::chrono::steady_clock::time_point lastMemoryCheck_{};
};

// The callbacks' view of a block: where it starts in the library's numbering.
struct Block {
    BlockFill* fill;
    int rowStart, colStart;
};

void ReleaseBlock(void* data) { delete static_cast<Block*>(data); }

void PrepareBlock(int rowStart, int rowCount, int colStart, int colCount, int*, int*, int*, int*, void* context,
                  hmat_block_info_t* info) {
    auto* fill = static_cast<BlockFill*>(context);
    fill->BlockStarts(rowCount, colCount);
    info->user_data = new (std::nothrow) Block{fill, rowStart, colStart};
    if (info->user_data == nullptr) throw MemoryRunOut{};
    info->release_user_data = &ReleaseBlock;
}

// The normal-velocity matrix vNorm.
void ComputeNormal(void* data, int r0, int rn, int c0, int cn, void* out) {
    const Block& block = *static_cast<Block*>(data);
    block.fill->Fill(block.rowStart, r0, rn, block.colStart, c0, cn, static_cast<double*>(out),
                     [](double* o, long k, double, double, double w) { o[k] = w; });
}

// The two tangential matrices as one complex matrix, uTan + i vTan.
void ComputeTangential(void* data, int r0, int rn, int c0, int cn, void* out) {
    const Block& block = *static_cast<Block*>(data);
    block.fill->Fill(block.rowStart, r0, rn, block.colStart, c0, cn, static_cast<std::complex<double>*>(out),
                     [](std::complex<double>* o, long k, double u, double v, double) { o[k] = {u, v}; });
}

void Assemble(HMatrix& matrix, hmat_compute_func_t compute, BlockFill& fill, double accuracy) {
    const Compression aca(hmat_create_compression_aca_plus(accuracy));
    hmat_assemble_context_t context;
    hmat_assemble_context_init(&context);
    context.compression = aca.get();
    context.user_context = &fill;
    context.prepare = &PrepareBlock;
    context.block_compute = compute;
    context.progress = nullptr;  // the library's own would print to standard output
    if (matrix.hmat().assemble_generic(matrix.get(), &context) != 0) throw std::bad_alloc();
}

// Reports the fractions of one of `count` solutions as a part of the whole stage.
class PartProgress : public Progress {
public:
    PartProgress(Progress* whole, long part, long count) : whole_(whole), part_(part), count_(count) {}
    void Report(std::string_view stage, double fraction) override {
        whole_->Report(stage, (static_cast<double>(part_) + fraction) / static_cast<double>(count_));
    }
    bool StopRequested() const override { return whole_->StopRequested(); }

private:
    Progress* whole_;
    long part_, count_;
};

std::string Scientific(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1e", value);
    return text;
}

}  // namespace

Status HierarchicalSolve(const PanelModel& model, const FlowProblem& problem, const HierarchicalSettings& settings,
                         SolverOutput& output, Progress* progress, HierarchicalReport* report) try {
    const long N = static_cast<long>(model.PanelCount());
    const long R = static_cast<long>(problem.onsets.size());
    const int NJ = model.NJ;
    HierarchicalReport done;
    const OneBlasThread oneBlasThread;
    ReserveBlasWorkspace();

    // Clusters of control points, at most leafSize to a leaf. The library's settings are global.
    hmat_settings_t librarySettings;
    hmat_get_parameters(&librarySettings);
    librarySettings.maxLeafSize = std::max(2, settings.leafSize);
    // Every far block by cross approximation: the library would otherwise fill the smaller ones
    // whole and compress them by SVD.
    librarySettings.compressionMinLeafSize = 0;
    hmat_set_parameters(&librarySettings);

    std::vector<double> points(3 * static_cast<std::size_t>(N));
    for (long p = 0; p < N; ++p) {
        const int i = static_cast<int>(p / NJ) + 1, j = static_cast<int>(p % NJ) + 1;
        points[3 * p] = model.xC(i, j), points[3 * p + 1] = model.yC(i, j), points[3 * p + 2] = model.zC(i, j);
    }
    const Clustering median(hmat_create_clustering_median());
    const Clustering clustering(hmat_create_clustering_max_dof(median.get(), librarySettings.maxLeafSize));
    const ClusterTree tree(hmat_create_cluster_tree(points.data(), 3, static_cast<int>(N), clustering.get()));
    if (tree == nullptr) throw std::bad_alloc();
    const int* panelOf = hmat_cluster_get_indices(tree.get());  // the library's index -> panel, 0-based
    auto rowOf = [&](long k) { return static_cast<int>(panelOf[k] / NJ) + 1; };
    auto columnOf = [&](long k) { return static_cast<int>(panelOf[k] % NJ) + 1; };
    const Admissibility admissibility(hmat_create_admissibility_standard(kAdmissibility));

    BlockFill fill(model, panelOf, progress);
    const double accuracy = settings.accuracy;

    // The source strengths of every onset flow, in the library's numbering: no flow through the
    // surface.
    std::vector<double> sigma(static_cast<std::size_t>(N * R), 0.0);
    {
        HMatrix normal(HMAT_DOUBLE_PRECISION, tree.get(), admissibility.get(), accuracy);
        fill.StartStage(kStageInfluence);
        Assemble(normal, &ComputeNormal, fill, accuracy);
        done.normalBytes = normal.Bytes(sizeof(double));
        std::vector<double> x(N), b(N);
        const auto product = [&](const double* in, double* out) {
            std::copy(in, in + N, x.data());
            normal.Product(x.data(), out);
        };
        for (long r = 0; r < R; ++r) {
            const OnsetFlow& onset = problem.onsets[r];
            for (long k = 0; k < N; ++k) {
                const int i = rowOf(k), j = columnOf(k);
                b[k] = -(model.ZtaX(i, j) * onset.X(i, j) + model.ZtaY(i, j) * onset.Y(i, j) +
                         model.ZtaZ(i, j) * onset.Z(i, j));
            }
            PartProgress part(progress, r, R);
            const GmresResult gmres = Gmres(product, N, b.data(), sigma.data() + r * N,
                                            GmresSettings{accuracy * kIterationTolerance}, progress ? &part : nullptr);
            done.iterations += gmres.iterations;
            done.relativeResidual = std::max(done.relativeResidual, gmres.relativeResidual);
            if (!gmres.converged)
                return Status::Fail("The hierarchical solver's iteration did not reach its accuracy (" +
                                    Scientific(accuracy) + ") within " + std::to_string(gmres.iterations) +
                                    " products: a relative residual of " + Scientific(gmres.relativeResidual) +
                                    " remains. The dense solver solves such a body directly, where it fits.");
        }
    }

    // The induced tangential velocities of every onset at once: (uTan + i vTan) sigma.
    std::vector<std::complex<double>> induced(static_cast<std::size_t>(N * R));
    {
        HMatrix tangential(HMAT_DOUBLE_COMPLEX, tree.get(), admissibility.get(), accuracy);
        fill.StartStage(kStageSurfaceVelocities);
        Assemble(tangential, &ComputeTangential, fill, accuracy);
        done.tangentialBytes = tangential.Bytes(sizeof(std::complex<double>));
        ThrowIfStopRequested(progress);
        std::vector<std::complex<double>> strengths(sigma.begin(), sigma.end());
        tangential.Product(strengths.data(), induced.data(), static_cast<int>(R));
    }

    // Back to the panel numbering, with the onset flow's own tangential part.
    SolverOutput result;
    for (long r = 0; r < R; ++r) {
        const OnsetFlow& onset = problem.onsets[r];
        OnsetSolution& solution = result.solutions.emplace_back(OnsetSolution{
            Array2D<double>(model.NI, NJ), Array2D<double>(model.NI, NJ), Array2D<double>(model.NI, NJ), {}});
        for (long k = 0; k < N; ++k) {
            const int i = rowOf(k), j = columnOf(k);
            const double Vx = onset.X(i, j), Vy = onset.Y(i, j), Vz = onset.Z(i, j);
            solution.Sigma(i, j) = sigma[r * N + k];
            solution.ut(i, j) = model.XsiX(i, j) * Vx + model.XsiY(i, j) * Vy + model.XsiZ(i, j) * Vz +
                                induced[r * N + k].real();
            solution.vt(i, j) = model.ItaX(i, j) * Vx + model.ItaY(i, j) * Vy + model.ItaZ(i, j) * Vz +
                                induced[r * N + k].imag();
        }
    }
    output = std::move(result);
    if (report != nullptr) *report = done;
    return Status::Ok();
} catch (const MemoryRunOut&) {
    throw std::bad_alloc();
}

double HierarchicalSolverBytes(double NI, double NJ, double onsets, const HierarchicalSettings& settings) {
    // The larger of the two compressed matrices, the tangential one (complex, 16 bytes an entry),
    // dominates. Measured on ellipsoids and a body with a flat base at the default accuracy
    // (docs/performance.md), it holds about 52 log2(N) - 384 entries per panel and per digit of
    // the accuracy; a third more here, for other shapes. Then the iteration's vectors and the
    // panels' layouts, and the solutions.
    const double N = NI * NJ;
    const double digits = -std::log10(settings.accuracy);
    const double perPanel = std::clamp(4.0 / 3.0 * digits * (52.0 * std::log2(std::max(N, 2.0)) - 384.0),
                                       4.0 * settings.leafSize, 1.2 * N);
    return 16.0 * N * perPanel + 8.0 * N * (GmresSettings{}.restart + 60 + 8 * onsets);
}

}  // namespace panelflow
