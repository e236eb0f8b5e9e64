// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The three coefficient tables written the straightforward way, value by value through the
// results file's line items: the reference that the fast table writer must match byte for byte,
// and the baseline of its benchmark.

#include <string_view>

#include "results/ResultsFile.h"
#include "model/InfluenceMatrices.h"

namespace panelflow::testing {

inline void WriteVelocityReportLineByLine(const InfluenceMatrices& solution, long nRows, long nCols, ResultsAppender& out) {
    auto table = [&out, nRows](std::string_view title, const Array2D<double>& matrix, long columns) {
        out.EndLine();
        out.Text(title).EndLine();
        out.EndLine();
        for (long m = 1; m <= nRows; ++m) {
            for (long n = 1; n <= columns; ++n) out.Text(" ").Masked(matrix(m, n), kMaskFourDecimals);
            out.EndLine();
        }
    };
    table("Hess method - Normal velocities", solution.vNorm, nCols);
    table("u Tangential velocities", solution.uTan, nRows);
    table("v Tangential velocities", solution.vTan, nRows);
}

}  // namespace panelflow::testing
