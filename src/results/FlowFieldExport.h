// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The flow off the body (model/FlowField.h) in two exchange formats. Numbers are the shortest
// texts that read back as the same doubles, with a point as the decimal separator in every
// locale; lines end with LF.
//
// CSV: the header kFieldCsvHeader, then one row per point in the points' order: x, y, z, the
// velocity u, v, w, cp, 1 - cp, and inside (1 inside the body, else 0).
//
// VTS: an XML StructuredGrid (ASCII) of a box grid, for streamlines in ParaView or VTK: the
// points x fastest, then y, then z, and the point data velocity (3 components), cp,
// one_minus_cp and inside (UInt8).
//
// The writers replace the file whole (WholeFile.h): a failure, a refused target or a stop leaves
// the target as it was and no part of a file behind.

#include <string>
#include <string_view>

#include "base/Status.h"
#include "model/FlowField.h"
#include "results/WholeFile.h"

namespace panelflow {

inline constexpr std::string_view kFieldCsvHeader = "x,y,z,u,v,w,cp,one_minus_cp,inside";

std::string FieldCsvText(const std::vector<Vector3>& points, const FieldValues& values);
// `points` must be the grid of `box`.
std::string FieldVtsText(const FieldBox& box, const std::vector<Vector3>& points, const FieldValues& values);

Status WriteFieldCsv(const std::vector<Vector3>& points, const FieldValues& values, const std::string& path,
                     const WholeFileGuard& guard = {});
Status WriteFieldVts(const FieldBox& box, const std::vector<Vector3>& points, const FieldValues& values,
                     const std::string& path, const WholeFileGuard& guard = {});

}  // namespace panelflow
