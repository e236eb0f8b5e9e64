#include "solver/VelocityReport.h"

#include <string_view>

namespace panelflow {
namespace {

constexpr std::string_view kNormalTitle = "Hess method - Normal velocities";
constexpr std::string_view kUTitle = "u Tangential velocities";
constexpr std::string_view kVTitle = "v Tangential velocities";

// An empty line, the title, an empty line, then one line per row: a blank before each value.
void WriteTable(std::string_view title, const Array2D<double>& matrix, long nRows, long nCols,
                ResultsAppender& out, Progress* progress, double done, double share) {
    out.EndLine();
    out.Text(title).EndLine();
    out.EndLine();
    for (long m = 1; m <= nRows; ++m) {
        const double* row = matrix.row(m);
        for (long n = 1; n <= nCols; ++n) out.Text(" ").Masked(row[n], kMaskFourDecimals);
        out.EndLine();
        if (progress != nullptr && m % 256 == 0) progress->Report("report", done + share * m / nRows);
    }
}

}  // namespace

void WriteVelocityReport(const Solution& solution, long nRows, long nCols, ResultsAppender& out,
                         Progress* progress) {
    const double share = 1.0 / 3.0;
    WriteTable(kNormalTitle, solution.vNorm, nRows, nCols, out, progress, 0.0, share);
    WriteTable(kUTitle, solution.uTan, nRows, nRows, out, progress, share, share);
    WriteTable(kVTitle, solution.vTan, nRows, nRows, out, progress, 2 * share, share);
}

}  // namespace panelflow
