// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The texts the commands show the user that are not built from the input: the two messages
// of the window in its own language, each with the English sentence shown beneath it, and the
// refusals of the solution.

#include <string>
#include <string_view>

namespace panelflow {

inline constexpr std::string_view kNoGeometryMessage = "Geometriyi hazırla";
inline constexpr std::string_view kNoGeometryExplanation =
    "There is no body to solve for yet: build one first (the menu Geometry in the window; a "
    "sphere, profile or corners step in the batch program).";

inline constexpr std::string_view kZeroPivotMessage = " sıfır diyagonal elemanı";
// The sentence beneath the zero-pivot message: the step k of N whose pivot was zero, and whether
// the sections of the zero strengths were written to the results file (the commands) or not (the
// Python module, which keeps nothing).
std::string ZeroPivotExplanation(long step, long N, bool sectionsWritten = true);

inline constexpr std::string_view kNoPanelsMessage = "There are no panels to solve for.";
inline constexpr std::string_view kNotFiniteMessage =
    "The solution is not finite: the system of equations is singular or too badly conditioned "
    "for this geometry.";

}  // namespace panelflow
