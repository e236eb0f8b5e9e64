// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/Messages.h"

namespace panelflow {

std::string ZeroPivotExplanation(long step, long N, bool sectionsWritten) {
    // The symmetric solver's small systems are eliminated by LAPACK, which names no step of the whole.
    const std::string where = step > 0 ? "The elimination met a zero pivot at step " + std::to_string(step) + " of " +
                                             std::to_string(N)
                                       : "The system of equations is singular";
    return where + " (the panels are degenerate or the body folds onto itself), so there is no solution" +
           (sectionsWritten ? ": the sections just written to the results file hold zero source strengths; " : "; ") +
           "mend the body's corner points or profile and build it again.";
}

}  // namespace panelflow
