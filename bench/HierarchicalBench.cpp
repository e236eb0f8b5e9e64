// panelflow-bench-hierarchical: the hierarchical solver next to the dense one on corner-point
// files, in one run.
//
//   panelflow-bench-hierarchical [--accuracy A] [--leaf L] [--no-dense] [--ellipsoid A,B,C] FILE.Coords ...
//
// Per file: the panel count; the dense solver's time (assembly, elimination and surface
// velocities), when its matrices fit; the hierarchical solver's time, compressed size and
// iterations; the largest difference of 1 - Cp and of the strengths between the two; and, for an
// ellipsoid given by its semi-axes, the largest and the mean error of either against the exact
// flow. The first line names the processor, the assembly's instruction set and OpenBLAS's kernels.

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "commands/Commands.h"
#include "model/PanelCounts.h"
#include "solver/DenseSolver.h"
#include "solver/EllipsoidFlow.h"
#include "solver/HierarchicalSolver.h"
#include "solver/SurfaceVelocity.h"
#include "BenchEnvironment.h"

namespace {

using namespace panelflow;

class QuietInterface : public UserInterface {
public:
    void ShowMessage(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    void ShowWarning(const std::string& text) override { std::fprintf(stderr, "warning: %s\n", text.c_str()); }
};

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

struct Errors {
    double largest = 0.0, mean = 0.0;
};

Errors AgainstExact(const PanelModel& model, const SurfaceSolution& surface, const Ellipsoid& body) {
    const ShapeCoefficients shape = EllipsoidShapeCoefficients(body);
    Errors errors;
    for (int i = 1; i <= model.NI; ++i)
        for (int j = 1; j <= model.NJ; ++j) {
            const double exact = ExactOneMinusCp(body, shape, kUnitStreamAlongX, model.xC(i, j), model.yC(i, j),
                                                 model.zC(i, j));
            const double error = std::fabs(surface.OneMinusCp(i, j) - exact);
            errors.largest = std::max(errors.largest, error);
            errors.mean += error;
        }
    errors.mean /= static_cast<double>(model.PanelCount());
    return errors;
}

// Records how long each stage of a solution takes, from the first report of a stage to the first
// of the next.
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
        if (!stages_.empty()) stages_.back().second = Seconds(last_);
        std::string text;
        char buffer[80];
        for (const auto& [stage, seconds] : stages_) {
            std::snprintf(buffer, sizeof buffer, "%s%s %.2f s", text.empty() ? "" : ", ", stage.c_str(), seconds);
            text += buffer;
        }
        return text;
    }

private:
    std::vector<std::pair<std::string, double>> stages_;
    std::chrono::steady_clock::time_point last_;
};

double LargestDifference(const Array2D<double>& a, const Array2D<double>& b, int NI, int NJ) {
    double largest = 0.0;
    for (int i = 1; i <= NI; ++i)
        for (int j = 1; j <= NJ; ++j) largest = std::max(largest, std::fabs(a(i, j) - b(i, j)));
    return largest;
}

}  // namespace

int main(int argc, char** argv) {
    SelectBlasKernels(argv);
    HierarchicalSettings settings;
    bool dense = true;
    bool ellipsoid = false;
    Ellipsoid body;
    std::vector<std::string> files;
    for (int a = 1; a < argc; ++a) {
        const std::string_view word = argv[a];
        if (word == "--accuracy" && a + 1 < argc) settings.accuracy = std::atof(argv[++a]);
        else if (word == "--leaf" && a + 1 < argc) settings.leafSize = std::atoi(argv[++a]);
        else if (word == "--no-dense") dense = false;
        else if (word == "--ellipsoid" && a + 1 < argc) {
            ellipsoid = true;
            if (std::sscanf(argv[++a], "%lf,%lf,%lf", &body.a, &body.b, &body.c) != 3) return 2;
            body.xCentre = body.a;
        } else files.emplace_back(word);
    }
    std::printf("%s\n", bench::EnvironmentLine().c_str());
    std::printf("accuracy %g, leaf size %d\n", settings.accuracy, settings.leafSize);
    QuietInterface ui;
    for (const std::string& file : files) {
        Session session;
        if (!CornerFileCommand(session, file, ui)) return 1;
        const PanelModel& model = session.model;
        const long N = static_cast<long>(model.PanelCount());
        std::printf("\n%s: %d x %d = %ld panels\n", file.c_str(), model.NI, model.NJ, N);

        SurfaceSolution hierarchical;
        StageClock clock;
        auto start = std::chrono::steady_clock::now();
        SolverOutput output;
        HierarchicalReport h;
        const Status solved =
            HierarchicalSolve(model, StreamProblem(kUnitStreamAlongX), settings, output, &clock, &h);
        std::printf("hierarchical: %.2f s (%s), %d iterations, residual %.2e%s\n", Seconds(start),
                    clock.Text().c_str(), static_cast<int>(h.iterations), h.relativeResidual,
                    solved ? "" : (", " + solved.message).c_str());
        if (!solved) continue;
        SurfaceVelocity(model, kUnitStreamAlongX, output.solutions.front(), hierarchical);
        std::printf("  compressed: normal %.3f GB (%.2f %% of dense), tangential %.3f GB (%.2f %% of the two dense)\n",
                    h.normalBytes / 1e9, 100.0 * h.normalBytes / (8.0 * N * N), h.tangentialBytes / 1e9,
                    100.0 * h.tangentialBytes / (16.0 * N * N));
        if (ellipsoid) {
            const Errors e = AgainstExact(model, hierarchical, body);
            std::printf("  1 - Cp against the exact flow: largest %.3e, mean %.3e\n", e.largest, e.mean);
        }
        if (!dense) continue;
        if (!CheckProblemFits(model.NI, model.NJ, DenseSolverBytes(model.NI, model.NJ), "influence matrices")) {
            std::printf("dense: does not fit\n");
            continue;
        }
        StageClock denseClock;
        start = std::chrono::steady_clock::now();
        SolverOutput denseOutput;
        DenseSolve(model, StreamProblem(kUnitStreamAlongX), denseOutput, &denseClock);
        SurfaceSolution exact;
        SurfaceVelocity(model, kUnitStreamAlongX, denseOutput.solutions.front(), exact);
        std::printf("dense: %.2f s (%s)\n", Seconds(start), denseClock.Text().c_str());
        std::printf("  largest difference: 1 - Cp %.3e, sigma %.3e\n",
                    LargestDifference(exact.OneMinusCp, hierarchical.OneMinusCp, model.NI, model.NJ),
                    LargestDifference(exact.Sigma, hierarchical.Sigma, model.NI, model.NJ));
        if (ellipsoid) {
            const Errors e = AgainstExact(model, exact, body);
            std::printf("  dense 1 - Cp against the exact flow: largest %.3e, mean %.3e\n", e.largest, e.mean);
        }
    }
}
