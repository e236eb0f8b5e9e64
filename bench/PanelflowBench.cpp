// panelflow-bench: how long the Hess command's stages take on spheres of given panel counts,
// each fast path next to its baseline measured in the same run on the same data.
//
//   panelflow-bench [NIxNJ ...]        (default: 32x32 64x64; 128x128 on request)
//
// Per size it prints: the assembly (straightforward scalar loop and the vectorised threaded
// one, seconds and ns per panel pair); the coefficient tables (snprintf per value, the exact
// formatter value by value, and the fast writer, seconds and MB/s); the elimination (GaussSolve
// and LAPACK dgesv on a copy of the same matrix, seconds and GFLOP/s at 2/3 N^3); the whole Hess
// command; and the wall time and peak memory of `panelflow-batch --ni NI --nj NJ sphere hess`
// run as a child process.
// Scratch files go to a temporary directory under $TMPDIR (default /tmp), removed at the end.

#include <cblas.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "commands/Commands.h"
#include "results/ResultsFile.h"
#include "solver/GaussSolve.h"
#include "commands/HessSolve.h"
#include "solver/Assembly.h"
#include "solver/BlasKernels.h"
#include "base/ProcessorFeatures.h"
#include "results/VelocityReport.h"
#include "support/ReferenceReport.h"
#include "support/ReferenceAssembly.h"
#include "BatchChild.h"
#include "BenchEnvironment.h"

extern "C" void dgesv_(const int* n, const int* nrhs, double* a, const int* lda, int* ipiv, double* b,
                       const int* ldb, int* info);

namespace {

using panelflow::Array1D;
using panelflow::Array2D;
using panelflow::Session;
using Solution = panelflow::InfluenceMatrices;
namespace fs = std::filesystem;

// Messages of the commands go to standard error; nothing waits for a click.
class StderrInterface : public panelflow::UserInterface {
public:
    void ShowMessage(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

class Stopwatch {
public:
    double Seconds() const { return std::chrono::duration<double>(Clock::now() - start_).count(); }

private:
    using Clock = std::chrono::steady_clock;
    Clock::time_point start_ = Clock::now();
};

struct Size {
    int NI = 0, NJ = 0;
};

bool ParseSize(std::string_view text, Size& size) {
    const auto x = text.find('x');
    if (x == std::string_view::npos) return false;
    try {
        size.NI = std::stoi(std::string(text.substr(0, x)));
        size.NJ = std::stoi(std::string(text.substr(x + 1)));
    } catch (...) {
        return false;
    }
    return size.NI >= 1 && size.NJ >= 1;
}

double MegaBytes(double bytes) { return bytes / 1e6; }

// The tables as a straightforward program writes them: each value formatted by snprintf, each
// line handed to stdio. (It rounds exact ties to even where the results file rounds them away
// from zero, which does not matter for timing.)
void WriteTablesWithPrintf(const Solution& solution, long N, const fs::path& file) {
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (out == nullptr) return;
    auto table = [out, N](const char* title, const Array2D<double>& matrix, long columns) {
        std::fprintf(out, "\r\n%s\r\n\r\n", title);
        std::string line;
        char value[64];
        for (long m = 1; m <= N; ++m) {
            line.clear();
            for (long n = 1; n <= columns; ++n) {
                std::snprintf(value, sizeof value, " %.4f", matrix(m, n));
                line += std::string_view(value) == " -0.0000" ? " 0.0000" : value;
            }
            line += "\r\n";
            std::fwrite(line.data(), 1, line.size(), out);
        }
    };
    table("Hess method - Normal velocities", solution.vNorm, N + 1);
    table("u Tangential velocities", solution.uTan, N);
    table("v Tangential velocities", solution.vTan, N);
    std::fclose(out);
}

// OpenBLAS's threads poll for new work for a while after each call before they sleep; a pause
// before each timed elimination keeps one method's pollers from taking the cores of the next.
void SettleThreads() { std::this_thread::sleep_for(std::chrono::milliseconds(300)); }

// The elimination: dgesv on a column-major copy (the same matrix, with partial pivoting), then
// GaussSolve in place on the row-major augmented matrix, each the fastest of `repeats` runs on
// fresh copies. Returns the two times; A is left eliminated.
std::pair<double, double> TimeElimination(long N, Array2D<double>& A, int repeats) {
    const Array2D<double> original = repeats > 1 ? A : Array2D<double>{};
    std::vector<double> columnMajor(static_cast<std::size_t>(N) * static_cast<std::size_t>(N));
    std::vector<double> b(static_cast<std::size_t>(N));
    std::vector<int> pivots(static_cast<std::size_t>(N));
    Array1D<double> X(N);
    double lapackSeconds = 1e300, gaussSeconds = 1e300;
    for (int run = 0; run < repeats; ++run) {
        if (run > 0) A = original;
        for (long i = 1; i <= N; ++i) {
            const double* row = A.row(i);
            for (long j = 1; j <= N; ++j) columnMajor[static_cast<std::size_t>((j - 1) * N + (i - 1))] = row[j];
            b[static_cast<std::size_t>(i - 1)] = row[N + 1];
        }
        const int n = static_cast<int>(N), one = 1;
        int info = 0;
        SettleThreads();
        Stopwatch lapackWatch;
        dgesv_(&n, &one, columnMajor.data(), &n, pivots.data(), b.data(), &n, &info);
        lapackSeconds = std::min(lapackSeconds, lapackWatch.Seconds());
        if (info != 0) std::printf("  dgesv reported info = %d\n", info);

        SettleThreads();
        Stopwatch gaussWatch;
        const panelflow::GaussResult result = panelflow::GaussSolve(N, A, X);
        gaussSeconds = std::min(gaussSeconds, gaussWatch.Seconds());
        if (result.zeroPivot) std::printf("  GaussSolve met a zero pivot at step %ld\n", result.step);
    }

    double largest = 0.0, difference = 0.0;
    for (long i = 1; i <= N; ++i) {
        largest = std::max(largest, std::abs(b[static_cast<std::size_t>(i - 1)]));
        difference = std::max(difference, std::abs(X(i) - b[static_cast<std::size_t>(i - 1)]));
    }
    std::printf("  solutions of GaussSolve and dgesv differ by %.2e relative\n", difference / largest);
    return {gaussSeconds, lapackSeconds};
}

using panelflow::bench::BatchRun;

// The batch program on the sphere in `directory`, before the benchmark allocates anything large.
BatchRun RunBatch(const fs::path& directory, Size size) {
    const BatchRun run = panelflow::bench::RunBatchChild(
        directory, {"--ni", std::to_string(size.NI), "--nj", std::to_string(size.NJ), "sphere", "hess"});
    fs::remove(directory / "Axisym.txt");
    if (!run.ok) std::printf("the batch program failed on %d x %d\n", size.NI, size.NJ);
    return run.ok ? run : BatchRun{};
}

void Benchmark(Size size, const fs::path& scratch, const BatchRun& batch) {
    StderrInterface ui;
    Session session;
    session.shell.OutFile = (scratch / "Axisym.txt").string();
    if (!panelflow::StartCommand(session, ui) ||
        !panelflow::SphereCommand(session, std::to_string(size.NI), std::to_string(size.NJ), ui))
        return;
    const long N = static_cast<long>(size.NI) * size.NJ;
    const double pairs = static_cast<double>(N) * static_cast<double>(N);
    const double matrixBytes = 24.0 * static_cast<double>(N + 1) * static_cast<double>(N + 2);
    std::printf("\n%d x %d panels, N = %ld, three matrices %.0f MB\n", size.NI, size.NJ, N, MegaBytes(matrixBytes));

    // Each stage is timed `repeats` times, its fastest run counting: this machine shares its
    // cores, and a run slowed by another program says nothing about the code.
    const int repeats = N <= 4096 ? 3 : 1;
    const int eliminationRepeats = N <= 4096 ? 5 : 1;
    std::printf("  (each time the fastest of %d runs, of %d for the eliminations)\n", repeats, eliminationRepeats);
    auto fastest = [repeats](auto&& run) {
        double best = 1e300;
        for (int r = 0; r < repeats; ++r) {
            Stopwatch watch;
            run();
            best = std::min(best, watch.Seconds());
        }
        return best;
    };

    const panelflow::FreeStream vinf{1.0, 0.0, 0.0};  // the Hess command's free stream
    Solution solution;
    const double scalarSeconds = fastest([&] {
        solution = Solution{};
        panelflow::testing::AssembleInfluenceMatricesScalar(session.model, vinf, solution);
    });
    const double vectorSeconds = fastest([&] {
        solution = Solution{};
        panelflow::AssembleInfluenceMatricesVector(session.model, vinf, solution);
    });
    std::printf("  assembly, scalar loop     %9.3f s  %7.1f ns per panel pair\n", scalarSeconds, 1e9 * scalarSeconds / pairs);
    std::printf("  assembly, vector threads  %9.3f s  %7.1f ns per panel pair   %5.1f x faster\n", vectorSeconds,
                1e9 * vectorSeconds / pairs, scalarSeconds / vectorSeconds);

    const fs::path tables = scratch / "tables.txt";
    auto timeTables = [&](auto&& write) {
        const double seconds = fastest([&] {
            fs::remove(tables);
            write();
        });
        const double bytes = static_cast<double>(fs::file_size(tables));
        fs::remove(tables);
        return std::pair{seconds, bytes};
    };
    auto appendTables = [&tables](auto&& writer) {
        panelflow::ResultsAppender out(tables.string());
        writer(out);
        if (const panelflow::Status status = out.Close(); !status) std::fprintf(stderr, "%s\n", status.message.c_str());
    };
    const auto [printfSeconds, printfBytes] = timeTables([&] { WriteTablesWithPrintf(solution, N, tables); });
    const auto [lineSeconds, lineBytes] = timeTables([&] {
        appendTables([&](panelflow::ResultsAppender& out) {
            panelflow::testing::WriteVelocityReportLineByLine(solution, N, N + 1, out);
        });
    });
    const auto [fastSeconds, fastBytes] = timeTables([&] {
        appendTables([&](panelflow::ResultsAppender& out) { panelflow::WriteVelocityReport(solution, N, N + 1, out); });
    });
    std::printf("  tables, printf per value  %9.3f s  %7.0f MB/s\n", printfSeconds, MegaBytes(printfBytes) / printfSeconds);
    std::printf("  tables, value by value    %9.3f s  %7.0f MB/s   %5.1f x faster\n", lineSeconds,
                MegaBytes(lineBytes) / lineSeconds, printfSeconds / lineSeconds);
    std::printf("  tables, fast writer       %9.3f s  %7.0f MB/s   %5.1f x faster  (%.0f MB)\n", fastSeconds,
                MegaBytes(fastBytes) / fastSeconds, printfSeconds / fastSeconds, MegaBytes(fastBytes));

    const double flops = 2.0 / 3.0 * static_cast<double>(N) * static_cast<double>(N) * static_cast<double>(N);
    // The two eliminations alternate, five times each up to 64 x 64: on this shared machine a
    // neighbour's burst in three runs can decide a ratio of times a few percent apart.
    const auto [gaussSeconds, lapackSeconds] = TimeElimination(N, solution.vNorm, eliminationRepeats);
    std::printf("  GaussSolve                %9.3f s  %7.1f GFLOP/s\n", gaussSeconds, flops / gaussSeconds / 1e9);
    std::printf("  LAPACK dgesv              %9.3f s  %7.1f GFLOP/s   GaussSolve / dgesv time %.2f\n", lapackSeconds,
                flops / lapackSeconds / 1e9, gaussSeconds / lapackSeconds);
    solution = Solution{};

    bool solved = true;
    const double hessSeconds = fastest([&] { solved = solved && panelflow::HessCommand(session, ui); });
    if (!solved) return;
    std::printf("  whole Hess command        %9.3f s  %7.2f x dgesv time\n", hessSeconds, hessSeconds / lapackSeconds);
    session = Session{};
    fs::remove(scratch / "Axisym.txt");

    if (batch.peakBytes > 0.0)
        std::printf("  batch sphere hess         %9.3f s  peak memory %.0f MB  (limit 1.1 x matrices + 64 MB = %.0f MB)\n",
                    batch.seconds, MegaBytes(batch.peakBytes), MegaBytes(1.1 * matrixBytes + 64e6));
}

}  // namespace

int main(int argc, char** argv) {
    panelflow::SelectBlasKernels(argv);
    std::vector<Size> sizes;
    for (int a = 1; a < argc; ++a) {
        Size size;
        if (!ParseSize(argv[a], size)) {
            std::fprintf(stderr, "usage: panelflow-bench [NIxNJ ...]   (default: 32x32 64x64)\n");
            return 2;
        }
        sizes.push_back(size);
    }
    if (sizes.empty()) sizes = {{32, 32}, {64, 64}};

    const fs::path scratch = fs::temp_directory_path() / ("panelflow-bench-" + std::to_string(getpid()));
    fs::create_directories(scratch);

    std::printf("%s\n", panelflow::bench::EnvironmentLine().c_str());
    std::vector<BatchRun> batchRuns;
    for (const Size size : sizes) batchRuns.push_back(RunBatch(scratch, size));
    for (std::size_t k = 0; k < sizes.size(); ++k) Benchmark(sizes[k], scratch, batchRuns[k]);
    fs::remove_all(scratch);
    return 0;
}
