#pragma once
// The texts the commands show the user that are not built from the input: the two messages
// of the window in its own language, and the refusals of the solution.

#include <string_view>

namespace panelflow {

inline constexpr std::string_view kNoGeometryMessage = "Geometriyi hazırla";
inline constexpr std::string_view kZeroPivotMessage = " sıfır diyagonal elemanı";

inline constexpr std::string_view kNoPanelsMessage = "There are no panels to solve for.";
inline constexpr std::string_view kNotFiniteMessage =
    "The solution is not finite: the system of equations is singular or too badly conditioned "
    "for this geometry.";

}  // namespace panelflow
