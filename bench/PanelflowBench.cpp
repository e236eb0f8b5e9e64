// SPDX-License-Identifier: GPL-3.0-or-later
// panelflow-bench: how long the Hess command's stages take on spheres of given panel counts,
// each fast path next to its baseline measured in the same run on the same data.
//
//   panelflow-bench [--compare] [NIxNJ ...]    (default: 32x32 64x64; 128x128 or 1000x1000 on request)
//
// Per size it prints, where the dense solver's matrices fit: the assembly (straightforward scalar
// loop and the vectorised threaded one, seconds and ns per panel pair); the coefficient tables
// (snprintf per value, the exact formatter value by value, and the fast writer, seconds and MB/s);
// the elimination (GaussSolve and LAPACK dgesv on a copy of the same matrix, seconds and GFLOP/s
// at 2/3 N^3); the dense solver without tables and the whole Hess command. At every size: the
// symmetric solver in the axial stream and in the stream (0.3, 1, 0.5), seconds, ns per influence
// pair (NI x N pairs) and its speed-up over the dense solver where both run; and the wall time and
// peak memory of the batch program run as a child process: `sphere hess` (where the dense solver
// fits) and, without the tables, the sphere in both streams and a profile body of NI + 1 points.
// --compare runs the dense and the symmetric solver through the batch program on 64 x 64 and
// 96 x 96 spheres in both streams and compares their exports and results files (less the
// tables, which only the dense solver has).
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
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "commands/Commands.h"
#include "model/PanelCounts.h"
#include "solver/FlowSolver.h"
#include "support/CsvTable.h"
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

// A run of the batch program, named for the report.
struct BatchRun {
    std::string label;
    double seconds = 0.0, peakBytes = 0.0;  // both 0 when the program could not be run
};

// Runs the batch program with `words` in `directory` (BatchChild.h): every batch run comes before
// the benchmark allocates anything large.
BatchRun RunBatch(const fs::path& directory, const std::string& label, std::vector<std::string> words,
                  bool keepFiles = false) {
    const panelflow::bench::BatchRun run = panelflow::bench::RunBatchChild(directory, std::move(words));
    if (!keepFiles) fs::remove(directory / "Axisym.txt");
    if (!run.ok) {
        std::printf("the batch program failed: %s\n", label.c_str());
        return {label};
    }
    return {label, run.seconds, run.peakBytes};
}

// Whether the dense solver's three matrices fit in this machine's memory for the size.
bool DenseFits(Size size) { return panelflow::CheckProblemFits(size.NI, size.NJ).ok; }

// A body of revolution from a profile file of NI + 1 points: an airship-like body of length 4
// with a round nose and a pointed tail, written to `path`.
void WriteProfile(const fs::path& path, int NI) {
    std::string text = "\"Airship\", " + std::to_string(NI + 1) + ", \"point, x, r\"\n";
    for (int i = 0; i <= NI; ++i) {
        const double t = static_cast<double>(i) / NI;
        const double r = i == NI ? 0.0 : 0.8 * std::sqrt(t) * (1.0 - t) * (1.0 + t);
        char line[96];
        std::snprintf(line, sizeof line, "%d, %.17g, %.17g\n", i + 1, 4.0 * t, r);
        text += line;
    }
    std::ofstream(path) << text;
}

// The batch runs of one size, all before any large allocation of this process.
std::vector<BatchRun> BatchRuns(const fs::path& scratch, Size size) {
    const std::string ni = std::to_string(size.NI), nj = std::to_string(size.NJ);
    const fs::path profile = scratch / "airship.BodyFoil";
    WriteProfile(profile, size.NI);
    std::vector<BatchRun> runs;
    if (DenseFits(size)) runs.push_back(RunBatch(scratch, "sphere hess", {"--ni", ni, "--nj", nj, "sphere", "hess"}));
    runs.push_back(RunBatch(scratch, "--no-tables sphere hess", {"--no-tables", "--ni", ni, "--nj", nj, "sphere", "hess"}));
    runs.push_back(RunBatch(scratch, "--no-tables --stream 0.3,1,0.5 sphere hess",
                            {"--no-tables", "--stream", "0.3,1,0.5", "--ni", ni, "--nj", nj, "sphere", "hess"}));
    runs.push_back(RunBatch(scratch, "--no-tables profile hess (NI + 1 points)",
                            {"--no-tables", "--nj", nj, "profile", profile.string(), "hess"}));
    fs::remove(profile);
    return runs;
}

// The symmetric solver on the session's sphere in the axial and an oblique stream: seconds (the
// fastest of `repeats`) and ns per influence pair; its speed-up over `denseSeconds` when given.
void BenchmarkSymmetric(const Session& session, int repeats, double denseSeconds) {
    const panelflow::PanelModel& model = session.model;
    const double pairs = static_cast<double>(model.NI) * static_cast<double>(model.PanelCount());
    panelflow::SolveSettings settings;
    settings.solver = panelflow::SolverKind::Symmetric;
    for (const panelflow::FreeStream stream : {panelflow::FreeStream{1.0, 0.0, 0.0}, panelflow::FreeStream{0.3, 1.0, 0.5}}) {
        double best = 1e300;
        for (int r = 0; r < repeats; ++r) {
            Stopwatch watch;
            const panelflow::FlowResult result = panelflow::SolveFlow(model, panelflow::StreamProblem(stream), settings);
            best = std::min(best, watch.Seconds());
            if (!result.status) std::printf("  symmetric solver: %s\n", result.status.message.c_str());
        }
        std::printf("  symmetric solver, %-10s %9.3f s  %7.1f ns per influence pair", stream.VinfY == 0.0 ? "axial" : "0.3,1,0.5",
                    best, 1e9 * best / pairs);
        if (denseSeconds > 0.0) std::printf("   %7.1f x faster than the dense solver", denseSeconds / best);
        std::printf("\n");
    }
}

void PrintBatchRuns(const std::vector<BatchRun>& runs, double matrixBytes) {
    for (const BatchRun& run : runs) {
        if (run.peakBytes <= 0.0) continue;
        std::printf("  batch %-42s %9.3f s  peak memory %.0f MB", run.label.c_str(), run.seconds, MegaBytes(run.peakBytes));
        if (run.label == "sphere hess")
            std::printf("  (limit 1.1 x matrices + 64 MB = %.0f MB)", MegaBytes(1.1 * matrixBytes + 64e6));
        std::printf("\n");
    }
}

void Benchmark(Size size, const fs::path& scratch, const std::vector<BatchRun>& batch) {
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
    if (!DenseFits(size)) {
        std::printf("  (the dense solver's matrices do not fit in this machine's memory)\n");
        BenchmarkSymmetric(session, 1, 0.0);
        PrintBatchRuns(batch, matrixBytes);
        return;
    }

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

    panelflow::SolveSettings denseSettings;
    denseSettings.solver = panelflow::SolverKind::Dense;
    const double denseSeconds = fastest([&] {
        panelflow::SolveFlow(session.model, panelflow::StreamProblem(vinf), denseSettings);
    });
    std::printf("  dense solver, no tables   %9.3f s\n", denseSeconds);
    BenchmarkSymmetric(session, repeats, denseSeconds);

    bool solved = true;
    const double hessSeconds = fastest([&] { solved = solved && panelflow::HessCommand(session, ui); });
    if (!solved) return;
    std::printf("  whole Hess command        %9.3f s  %7.2f x dgesv time\n", hessSeconds, hessSeconds / lapackSeconds);
    session = Session{};
    fs::remove(scratch / "Axisym.txt");
    PrintBatchRuns(batch, matrixBytes);
}

std::string ReadWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The dense solver and the symmetric one through the batch program,
// on the same sphere and stream: the largest differences of the exported sigma, 1 - Cp and
// surface velocity, and the printed values of the two results files that differ, each a last
// digit at a rounding tie.
void CompareSolvers(const fs::path& scratch) {
    std::printf("\nThe dense against the symmetric solver, through the batch program (--no-tables):\n");
    for (const int n : {64, 96}) {
        for (const char* stream : {"1,0,0", "0.3,1,0.5"}) {
            const std::string counts[] = {"--ni", std::to_string(n), "--nj", std::to_string(n)};
            const fs::path dense = scratch / "dense", symmetric = scratch / "symmetric";
            fs::create_directories(dense);
            fs::create_directories(symmetric);
            // The dense run leaves its tables out too (--solver dense): the rest of its file is
            // byte for byte that of a run with them (tests/batch/SolverOptionsTest.cpp).
            std::vector<std::string> words{"--no-tables", "--stream", stream, counts[0], counts[1], counts[2], counts[3],
                                           "sphere", "hess", "csv", "s.csv"};
            RunBatch(symmetric, "symmetric", words, true);
            words.insert(words.begin(), {"--solver", "dense"});
            RunBatch(dense, "dense", words, true);
            const auto a = panelflow::testing::ParseCsv(ReadWhole(dense / "s.csv"));
            const auto b = panelflow::testing::ParseCsv(ReadWhole(symmetric / "s.csv"));
            double sigma = 0.0, oneMinusCp = 0.0, velocity = 0.0;
            for (std::size_t r = 0; r < a.rows.size() && r < b.rows.size(); ++r) {
                const auto difference = [&](const char* column) {
                    const int c = a.Column(column);
                    return std::abs(a.rows[r][c] - b.rows[r][c]);
                };
                sigma = std::max(sigma, difference("sigma"));
                oneMinusCp = std::max(oneMinusCp, difference("one_minus_cp"));
                velocity = std::max({velocity, difference("vx"), difference("vy"), difference("vz")});
            }
            std::istringstream left(ReadWhole(dense / "Axisym.txt")), right(ReadWhole(symmetric / "Axisym.txt"));
            long values = 0, ties = 0, larger = 0;
            for (std::string x, y; left >> x && right >> y;) {
                ++values;
                if (x == y) continue;
                ++ties;
                // A tie differs in the last printed digit alone.
                if (std::abs(std::stod(x) - std::stod(y)) > 1.5e-6) ++larger;
            }
            std::printf("  %3d x %-3d stream %-9s  max |d sigma| %.1e  |d (1 - Cp)| %.1e  |d V| %.1e   %ld printed fields (%d values "
                        "of sigma and 1 - Cp among them), %ld differ at a rounding tie%s\n",
                        n, n, stream, sigma, oneMinusCp, velocity, values, 2 * n * n, ties, larger ? ", SOME BY MORE" : "");
            fs::remove_all(dense);
            fs::remove_all(symmetric);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    panelflow::SelectBlasKernels(argv);
    std::vector<Size> sizes;
    bool compare = false;
    for (int a = 1; a < argc; ++a) {
        Size size;
        if (std::string_view(argv[a]) == "--compare") {
            compare = true;
            continue;
        }
        if (!ParseSize(argv[a], size)) {
            std::fprintf(stderr, "usage: panelflow-bench [--compare] [NIxNJ ...]   (default: 32x32 64x64)\n");
            return 2;
        }
        sizes.push_back(size);
    }
    if (sizes.empty()) sizes = {{32, 32}, {64, 64}};

    const fs::path scratch = fs::temp_directory_path() / ("panelflow-bench-" + std::to_string(getpid()));
    fs::create_directories(scratch);

    std::printf("%s\n", panelflow::bench::EnvironmentLine().c_str());
    std::vector<std::vector<BatchRun>> batchRuns;
    for (const Size size : sizes) batchRuns.push_back(BatchRuns(scratch, size));
    for (std::size_t k = 0; k < sizes.size(); ++k) Benchmark(sizes[k], scratch, batchRuns[k]);
    if (compare) CompareSolvers(scratch);
    fs::remove_all(scratch);
    return 0;
}
