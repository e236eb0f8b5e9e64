// SPDX-License-Identifier: GPL-3.0-or-later
// panelflow-bench-hierarchical: the hierarchical solver next to the dense one on corner-point
// files, each in one run.
//
//   panelflow-bench-hierarchical [--accuracy EPS] [--no-dense] [--stages] [--ellipsoid A,B,C] FILE.Coords ...
//
// Per file it runs `panelflow-batch --no-tables [--accuracy EPS] corners FILE hess csv` as a
// child, and `--solver dense` the same where the dense matrices fit (unless --no-dense): the wall
// and processor time and the peak resident memory of each, and from their CSV exports the largest
// difference of 1 - Cp and of the strengths between the two. With --ellipsoid (the body's semi-axes; the body
// from x = 0 to 2A, as bench/make_body.py writes it) also the largest and the mean error of 1 - Cp
// against the exact flow. With --stages it solves once more in this process and prints the time
// of each stage, the iterations and the size of the two compressed matrices. The first line names
// the processor, the assembly's instruction set and OpenBLAS's kernels.
// Scratch files go to a temporary directory under $TMPDIR (default /tmp), removed at the end.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "commands/Commands.h"
#include "model/PanelCounts.h"
#include "solver/DenseSolver.h"
#include "solver/EllipsoidFlow.h"
#include "solver/HierarchicalSolver.h"
#include "support/CsvTable.h"
#include "BatchChild.h"
#include "BenchEnvironment.h"

namespace {

using namespace panelflow;
namespace fs = std::filesystem;

class QuietInterface : public UserInterface {
public:
    void ShowMessage(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    void ShowWarning(const std::string& text) override { std::fprintf(stderr, "warning: %s\n", text.c_str()); }
};

// How long each stage of a solution takes, from the first report of a stage to the first of the
// next.
class StageClock : public Progress {
public:
    void Report(std::string_view stage, double) override {
        if (!stages_.empty() && stages_.back().first == stage) return;
        const auto now = std::chrono::steady_clock::now();
        if (!stages_.empty()) stages_.back().second = std::chrono::duration<double>(now - last_).count();
        stages_.emplace_back(std::string(stage), 0.0);
        last_ = now;
    }
    std::string Text() {
        if (!stages_.empty())
            stages_.back().second = std::chrono::duration<double>(std::chrono::steady_clock::now() - last_).count();
        std::string text;
        char buffer[80];
        for (const auto& [stage, seconds] : stages_) {
            std::snprintf(buffer, sizeof buffer, "%s%s %.1f s", text.empty() ? "" : ", ", stage.c_str(), seconds);
            text += buffer;
        }
        return text;
    }

private:
    std::vector<std::pair<std::string, double>> stages_;
    std::chrono::steady_clock::time_point last_;
};

testing::CsvTable ReadCsv(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return testing::ParseCsv(text.str());
}

double LargestDifference(const testing::CsvTable& a, const testing::CsvTable& b, const std::string& column) {
    const int c = a.Column(column);
    double largest = 0.0;
    for (std::size_t r = 0; r < a.rows.size() && r < b.rows.size(); ++r)
        largest = std::max(largest, std::fabs(a.rows[r][c] - b.rows[r][c]));
    return largest;
}

struct Errors {
    double largest = 0.0, mean = 0.0;
};

Errors AgainstExact(const testing::CsvTable& table, const Ellipsoid& body) {
    const ShapeCoefficients shape = EllipsoidShapeCoefficients(body);
    const int x = table.Column("x"), y = table.Column("y"), z = table.Column("z"), cp = table.Column("one_minus_cp");
    Errors errors;
    for (const std::vector<double>& row : table.rows) {
        const double error = std::fabs(row[cp] - ExactOneMinusCp(body, shape, kUnitStreamAlongX, row[x], row[y], row[z]));
        errors.largest = std::max(errors.largest, error);
        errors.mean += error;
    }
    errors.mean /= static_cast<double>(std::max<std::size_t>(1, table.rows.size()));
    return errors;
}

std::string Scientific(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1e", value);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    SelectBlasKernels(argv);
    HierarchicalSettings settings;
    bool dense = true, stages = false, ellipsoid = false;
    Ellipsoid body;
    std::vector<std::string> files;
    for (int a = 1; a < argc; ++a) {
        const std::string_view word = argv[a];
        if (word == "--accuracy" && a + 1 < argc) {
            settings.accuracy = std::atof(argv[++a]);
        } else if (word == "--no-dense") {
            dense = false;
        } else if (word == "--stages") {
            stages = true;
        } else if (word == "--ellipsoid" && a + 1 < argc) {
            ellipsoid = std::sscanf(argv[++a], "%lf,%lf,%lf", &body.a, &body.b, &body.c) == 3;
            body.xCentre = body.a;
        } else if (word.empty() || word[0] == '-') {
            std::fprintf(stderr,
                         "usage: panelflow-bench-hierarchical [--accuracy EPS] [--no-dense] [--stages] "
                         "[--ellipsoid A,B,C] FILE.Coords ...\n");
            return 2;
        } else {
            files.emplace_back(fs::absolute(std::string(word)).string());
        }
    }
    std::printf("%s\n", bench::EnvironmentLine().c_str());
    std::printf("hierarchical solver at accuracy %s, leaves of %d panels\n", Scientific(settings.accuracy).c_str(),
                settings.leafSize);
    const fs::path scratch = fs::temp_directory_path() / ("panelflow-bench-hierarchical-" + std::to_string(getpid()));
    fs::create_directories(scratch);
    QuietInterface ui;
    for (const std::string& file : files) {
        Session session;
        session.shell.OutFile = (scratch / "Axisym.txt").string();
        if (!StartCommand(session, ui) || !CornerFileCommand(session, file, ui)) return 1;
        const PanelModel& model = session.model;
        const long N = static_cast<long>(model.PanelCount());
        std::printf("\n%s: %d x %d = %ld panels\n", fs::path(file).filename().c_str(), model.NI, model.NJ, N);

        const bench::BatchRun hierarchical = bench::RunBatchChild(
            scratch, {"--no-tables", "--accuracy", Scientific(settings.accuracy), "corners", file, "hess", "csv",
                      "hierarchical.csv"});
        if (!hierarchical.ok) {
            std::printf("hierarchical: the batch program failed\n");
            continue;
        }
        std::printf("hierarchical: %.1f s (processor %.1f s), peak %.2f GB\n", hierarchical.seconds,
                    hierarchical.processorSeconds, hierarchical.peakBytes / 1e9);
        const testing::CsvTable h = ReadCsv(scratch / "hierarchical.csv");
        if (ellipsoid) {
            const Errors e = AgainstExact(h, body);
            std::printf("  1 - Cp against the exact flow: largest %.2e, mean %.2e\n", e.largest, e.mean);
        }
        const bool fits = CheckProblemFits(model.NI, model.NJ, DenseSolverBytes(model.NI, model.NJ), "influence matrices").ok;
        if (dense && fits) {
            const bench::BatchRun run = bench::RunBatchChild(
                scratch, {"--no-tables", "--solver", "dense", "corners", file, "hess", "csv", "dense.csv"});
            if (run.ok) {
                const testing::CsvTable d = ReadCsv(scratch / "dense.csv");
                std::printf("dense: %.1f s (processor %.1f s), peak %.2f GB (hierarchical / dense time %.2f)\n",
                            run.seconds, run.processorSeconds, run.peakBytes / 1e9, hierarchical.seconds / run.seconds);
                std::printf("  hierarchical - dense, largest: 1 - Cp %.1e, sigma %.1e\n",
                            LargestDifference(h, d, "one_minus_cp"), LargestDifference(h, d, "sigma"));
                if (ellipsoid) {
                    const Errors e = AgainstExact(d, body);
                    std::printf("  dense 1 - Cp against the exact flow: largest %.2e, mean %.2e\n", e.largest, e.mean);
                }
            }
        } else if (dense) {
            std::printf("dense: its matrices do not fit\n");
        }
        if (stages) {
            StageClock clock;
            SolverOutput output;
            HierarchicalReport report;
            const Status solved = HierarchicalSolve(model, StreamProblem(kUnitStreamAlongX), settings, output, &clock,
                                                    &report);
            std::printf("  stages: %s%s\n", clock.Text().c_str(), solved ? "" : (", " + solved.message).c_str());
            std::printf("  %ld products, residual %.1e; compressed: normal %.2f GB (%.1f %% of dense), tangential "
                        "%.2f GB (%.0f numbers per panel)\n",
                        report.iterations, report.relativeResidual, report.normalBytes / 1e9,
                        100.0 * report.normalBytes / (8.0 * N * N), report.tangentialBytes / 1e9,
                        report.tangentialBytes / 16.0 / static_cast<double>(N));
        }
    }
    fs::remove_all(scratch);
    return 0;
}
