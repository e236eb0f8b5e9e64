#pragma once
// "Export surface": the current solution per panel to a CSV or a VTK PolyData file (the formats
// are described in results/SurfaceExport.h). The file is written whole or not at all.

#include <string>
#include <string_view>

#include "base/Status.h"
#include "commands/Session.h"
#include "commands/UserInterface.h"
#include "model/PanelModel.h"
#include "model/SurfaceSolution.h"

namespace panelflow {

enum class SurfaceFormat { Csv, Vtk };

inline constexpr std::string_view kNoSolutionMessage =
    "There is no solution of this geometry to export: apply the Hess panel method first.";

// Writes `solution` of `model` to `path` in `format`, whole or not at all; memory that cannot be
// had is refused like a file that cannot be written.
Status ExportSurface(const PanelModel& model, const SurfaceSolution& solution, const std::string& path,
                     SurfaceFormat format);

// Writes the session's solution to `path`. Without a solution of the current geometry, or when
// the file cannot be written, shows one message through `ui` and returns false; a file already
// at `path` is then left as it was.
bool ExportSurfaceCommand(const Session& session, const std::string& path, SurfaceFormat format, UserInterface& ui);

}  // namespace panelflow
