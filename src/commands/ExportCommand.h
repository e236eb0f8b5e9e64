// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Export surface": the current solution per panel to a CSV or a VTK PolyData file (the formats
// are described in results/SurfaceExport.h). The file is written whole or not at all; a target
// that is no regular file, or is the results file, is refused (results/WholeFile.h).

#include <string>
#include <string_view>

#include "base/Progress.h"
#include "base/Status.h"
#include "commands/Session.h"
#include "commands/UserInterface.h"
#include "model/PanelModel.h"
#include "model/SurfaceSolution.h"
#include "results/WholeFile.h"

namespace panelflow {

enum class SurfaceFormat { Csv, Vtk };

inline constexpr std::string_view kNoSolutionMessage =
    "There is no solution of this geometry to export: apply the Hess panel method first.";

// Writes `solution` of `model` to `path` in `format`, whole or not at all (results/WholeFile.h:
// the guard's file is never replaced, and a stop asked through its progress throws Cancelled
// before the target is); memory that cannot be had is refused like a file that cannot be written.
Status ExportSurface(const PanelModel& model, const SurfaceSolution& solution, const std::string& path,
                     SurfaceFormat format, const WholeFileGuard& guard);

// Writes the session's solution to `path`. Without a solution of the current geometry, or when
// the file cannot be written, shows one message through `ui` and returns false; a file already
// at `path` is then left as it was. A `progress` that asks to stop before the file replaces the
// target abandons it the same way, without a message.
bool ExportSurfaceCommand(const Session& session, const std::string& path, SurfaceFormat format, UserInterface& ui,
                          Progress* progress = nullptr);

}  // namespace panelflow
