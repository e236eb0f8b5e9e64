// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the flow off the body is wanted (model/FlowField.h), as the user gives it: a box grid as
// a text, or a file of points.
//
// Box text: "X0:X1:NX,Y0:Y1:NY,Z0:Z1:NZ", for each axis its two ends and its count of points (a
// whole number from 1 to kLargestBoxCount; with a count of 1 the two ends must be equal, and X1
// must not be below X0). Numbers are decimal with a point, in every locale; blanks around the
// parts are allowed.
//
// Points file: a CSV file (the field rules of FieldReader.h) whose first line is the header
// x,y,z, then one point per line, its three numbers on that line; blank lines are skipped. A bad
// line is refused with a message that names the file, the line and the field.
//
// Both refuse with a message and leave their output as it was.

#include <string>
#include <string_view>
#include <vector>

#include "base/Status.h"
#include "model/FlowField.h"

namespace panelflow {

inline constexpr long kLargestBoxCount = 100000;

Status ReadFieldBox(std::string_view text, FieldBox& box);

Status ReadFieldPointsFile(const std::string& path, std::vector<Vector3>& points);

}  // namespace panelflow
