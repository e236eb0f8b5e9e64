#pragma once
// The curves of the plot "1 - Cp along the body": per meridian column j, the values at the
// control points of rows i = 1..NI against their x; and, when the body is a sphere centred on the
// x axis in a stream along x, the exact curve 9/4 sin^2(theta) sampled along the meridian.
// Toolkit-free, so that the window only draws what this gives.

#include <string>
#include <vector>

#include "commands/Session.h"

namespace panelflow {

enum class PlottedQuantity { OneMinusCp, Cp };

struct PlotCurve {
    std::string name;  // "column 3", or kExactCurveName
    bool exact = false;
    std::vector<double> x, value;
};

inline constexpr const char* kExactCurveName = "exact 9/4 sin²θ";
inline constexpr int kExactCurveSamples = 181;

// "All columns" of a fine mesh would be more points than a chart draws at once (a million at
// 1000 x 1000, seconds for every repaint): it plots every k-th column from column 1, k the
// smallest step that keeps to this many points.
inline constexpr long long kMostPlottedPoints = 32768;
int PlottedColumnStep(const PanelModel& model);

// The curves of column `column` (1..NJ), or of every column (every PlottedColumnStep-th) when
// `column` is 0, then the exact curve where there is one. Empty without a solution of the
// current geometry.
std::vector<PlotCurve> PressureCurves(const Session& session, int column, PlottedQuantity quantity);

}  // namespace panelflow
