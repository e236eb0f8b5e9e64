// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The surface solution in two exchange formats, one value per panel (i, j) in panel-number
// order (i outer, j inner). Numbers are written in the shortest text that reads back as the
// same double (std::to_chars), with a point as the decimal separator in every locale.
//
// CSV: the header line kSurfaceCsvHeader, then one row per panel: i, j, the control point x y z,
// the unit normal nx ny nz, the panel's area, sigma, 1 - Cp, Cp, the surface velocity vx vy vz
// in global axes. Lines end with LF.
//
// VTK: an XML PolyData file (.vtp, ASCII). Every panel is one polygon on its own nCorner corner
// points, listed so that the polygon's right-hand normal points out of the body; the cell data
// are i, j, area, sigma, one_minus_cp, cp, normal (3 components) and velocity (3 components).
//
// The writers replace the file whole (WholeFile.h): a failure, a refused target or a stop leaves
// the target as it was and no part of a file behind. Both need a model and its solution of the
// same counts.

#include <string>

#include "base/Status.h"
#include "results/WholeFile.h"
#include "model/PanelModel.h"
#include "model/SurfaceSolution.h"

namespace panelflow {

inline constexpr std::string_view kSurfaceCsvHeader =
    "i,j,x,y,z,nx,ny,nz,area,sigma,one_minus_cp,cp,vx,vy,vz";

std::string SurfaceCsvText(const PanelModel& model, const SurfaceSolution& solution);
std::string SurfaceVtpText(const PanelModel& model, const SurfaceSolution& solution);

Status WriteSurfaceCsv(const PanelModel& model, const SurfaceSolution& solution, const std::string& path,
                       const WholeFileGuard& guard = {});
Status WriteSurfaceVtp(const PanelModel& model, const SurfaceSolution& solution, const std::string& path,
                       const WholeFileGuard& guard = {});

}  // namespace panelflow
