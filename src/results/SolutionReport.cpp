// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/SolutionReport.h"

#include <string_view>

namespace panelflow {
namespace {

constexpr std::string_view kSigmaTitle = "Source strengths";
constexpr std::string_view kOneMinusCpTitle = "1-Cp";
constexpr std::string_view kValueSeparator = "  ";

void WritePanelTable(std::string_view title, const Array2D<double>& values, int NI, int NJ, ResultsAppender& out) {
    out.EndLine();
    out.Text(title).EndLine();
    out.EndLine();
    for (int i = 1; i <= NI; ++i) {
        for (int j = 1; j <= NJ; ++j) out.Masked(values(i, j), kMaskSixDecimals).Text(kValueSeparator);
        out.EndLine();
    }
}

}  // namespace

void WriteSourceStrengths(const Array2D<double>& Sigma, int NI, int NJ, ResultsAppender& out) {
    WritePanelTable(kSigmaTitle, Sigma, NI, NJ, out);
}

void WriteOneMinusCp(const Array2D<double>& OneMinusCp, int NI, int NJ, ResultsAppender& out) {
    WritePanelTable(kOneMinusCpTitle, OneMinusCp, NI, NJ, out);
}

}  // namespace panelflow
