// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The curves of the plot "1 - Cp along the body": per meridian column j, the values at the
// control points of rows i = 1..NI against their x; and, when the body is a sphere centred on the
// x axis in a stream along x, the exact curve sampled along the meridian (9/4 sin^2(theta) for
// 1 - Cp, 1 - 9/4 sin^2(theta) for Cp, theta the angle from the front stagnation point).
// Toolkit-free, so that the window only draws what this gives.
//
// A column is named with its meridian angle phi about the x axis, in degrees from +y towards +z
// (-180 to 180): the direction, seen along x, from the mean of all control points to the mean of
// the column's.

#include <string>
#include <vector>

#include "commands/Session.h"

namespace panelflow {

enum class PlottedQuantity { OneMinusCp, Cp };

struct PlotCurve {
    std::string name;  // ColumnName, or ExactCurveName
    bool exact = false;
    std::vector<double> x, value;
};

inline constexpr int kExactCurveSamples = 181;

// "All columns" of a fine mesh would be more points than a chart draws at once (a million at
// 1000 x 1000, seconds for every repaint): it plots every k-th column from column 1, k the
// smallest step that keeps to this many points.
inline constexpr long long kMostPlottedPoints = 32768;
int PlottedColumnStep(const PanelModel& model);

// The legend's name of the exact curve of `quantity`.
const char* ExactCurveName(PlottedQuantity quantity);

// The meridian angle phi of every column j = 1..NJ (entry j - 1), in degrees.
std::vector<double> MeridianAngles(const PanelModel& model);

// "column 3, φ = 45°": the column and its meridian angle, rounded to a tenth of a degree.
std::string ColumnName(int j, double phi);

// The curves of column `column` (1..NJ), or of every column (every PlottedColumnStep-th) when
// `column` is 0, then the exact curve where there is one. Empty without a solution of the
// current geometry.
std::vector<PlotCurve> PressureCurves(const Session& session, int column, PlottedQuantity quantity);

}  // namespace panelflow
