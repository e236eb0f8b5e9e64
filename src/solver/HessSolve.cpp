#include "solver/HessSolve.h"

#include <cmath>
#include <string_view>

#include "common/ResultsFile.h"
#include "solver/GaussSolve.h"
#include "solver/VelocityReport.h"

namespace panelflow {
namespace {

constexpr std::string_view kSigmaTitle = "Source strengths";
constexpr std::string_view kOneMinusCpTitle = "1-Cp";
constexpr std::string_view kValueSeparator = "  ";

constexpr std::string_view kNoPanelsMessage = "There are no panels to solve for.";
constexpr std::string_view kNotFiniteMessage =
    "The solution is not finite: the system of equations is singular or too badly conditioned "
    "for this geometry.";

bool AllFinite(const Array2D<double>& values, int NI, int NJ) {
    for (int i = 1; i <= NI; ++i)
        for (int j = 1; j <= NJ; ++j)
            if (!std::isfinite(values(i, j))) return false;
    return true;
}

// One per-panel section in its own opening of the results file: an empty line, the title, an
// empty line, then NI lines of NJ six-decimal values, each followed by two blanks. A table with
// a value that is not finite is refused before anything is written.
Status WritePanelTable(std::string_view title, const Array2D<double>& values, int NI, int NJ,
                       const std::string& outFile) {
    if (!AllFinite(values, NI, NJ)) return Status::Fail(std::string(kNotFiniteMessage));
    ResultsAppender out(outFile);
    out.EndLine();
    out.Text(title).EndLine();
    out.EndLine();
    for (int i = 1; i <= NI; ++i) {
        for (int j = 1; j <= NJ; ++j) out.Masked(values(i, j), kMaskSixDecimals).Text(kValueSeparator);
        out.EndLine();
    }
    return out.Close();
}

GaussResult SolveWithBestProducts(long N, Array2D<double>& A, Array1D<double>& X, Progress* progress) {
    return GaussSolve(N, A, X, progress);
}

}  // namespace

HessOutcome HessSolve(const PanelModel& model, const FreeStream& vinf, Solution& solution,
                      const std::string& outFile, Progress* progress, const HessSteps& steps) {
    const auto assemble = steps.assemble != nullptr ? steps.assemble : &AssembleInfluenceMatrices;
    const auto writeTables = steps.writeTables != nullptr ? steps.writeTables : &WriteVelocityReport;
    const auto solve = steps.solve != nullptr ? steps.solve : &SolveWithBestProducts;
    HessOutcome outcome;
    const int NI = model.NI, NJ = model.NJ;
    const long N = static_cast<long>(model.PanelCount());
    if (N < 1) {
        outcome.status = Status::Fail(std::string(kNoPanelsMessage));
        return outcome;
    }

    solution = Solution{};
    assemble(model, vinf, solution, progress);
    solution.SigmaVec = Array1D<double>(N);
    solution.Sigma = Array2D<double>(NI, NJ);

    if (progress != nullptr) progress->Report("report", 0.0);
    {
        ResultsAppender out(outFile);
        writeTables(solution, N, N + 1, out, progress);
        outcome.status = out.Close();
        if (!outcome.status) return outcome;
    }
    if (progress != nullptr) progress->Report("report", 1.0);

    // No flow through the surface at every control point. After a zero pivot the strengths stay
    // zero and the flow is the free stream's alone; the caller tells the user.
    if (progress != nullptr) progress->Report("elimination", 0.0);
    const GaussResult gauss = solve(N, solution.vNorm, solution.SigmaVec, progress);
    if (gauss.zeroPivot) {
        outcome.zeroPivot = true;
        solution.SigmaVec = Array1D<double>(N);
    }

    long m = 0;
    for (int i = 1; i <= NI; ++i)
        for (int j = 1; j <= NJ; ++j) solution.Sigma(i, j) = solution.SigmaVec(++m);
    outcome.status = WritePanelTable(kSigmaTitle, solution.Sigma, NI, NJ, outFile);
    if (!outcome.status) return outcome;

    // Tangential velocity at every control point: the free stream's part along Xsi and Ita plus
    // every source's; its square is 1 - Cp for the unit free stream.
    solution.OneMinusCp = Array2D<double>(NI, NJ);
    m = 0;
    for (int i = 1; i <= NI; ++i) {
        for (int j = 1; j <= NJ; ++j) {
            double ut = model.XsiX(i, j) * vinf.VinfX + model.XsiY(i, j) * vinf.VinfY + model.XsiZ(i, j) * vinf.VinfZ;
            double vt = model.ItaX(i, j) * vinf.VinfX + model.ItaY(i, j) * vinf.VinfY + model.ItaZ(i, j) * vinf.VinfZ;
            ++m;
            const double* uTanRow = solution.uTan.row(m);
            const double* vTanRow = solution.vTan.row(m);
            for (long n = 1; n <= N; ++n) {
                ut = ut + solution.SigmaVec(n) * uTanRow[n];
                vt = vt + solution.SigmaVec(n) * vTanRow[n];
            }
            solution.OneMinusCp(i, j) = ut * ut + vt * vt;
        }
    }
    outcome.status = WritePanelTable(kOneMinusCpTitle, solution.OneMinusCp, NI, NJ, outFile);
    return outcome;
}

}  // namespace panelflow
