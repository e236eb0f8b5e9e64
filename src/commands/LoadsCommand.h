// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Loads and added masses": the pressure force and moment of the current solution, the added
// masses of the body's six unit motions, the Munk moment and Lamb's coefficients
// (solver/LoadsOnBody.h; conventions in model/BodyLoads.h). The unit motions are solved through
// the solver entry point like the Hess command's stream, with the solver chosen for the body
// without coefficient tables (or the one forced), after the same memory check.
//
// The commands change nothing in the session and nothing in the results file. A refusal shows one
// message through `ui` and returns false; a stop asked through `progress` returns false without
// one. A file at `path` is then left as it was.

#include <optional>
#include <string>
#include <string_view>

#include "base/Progress.h"
#include "base/Status.h"
#include "commands/Session.h"
#include "commands/UserInterface.h"
#include "model/BodyLoads.h"
#include "model/FreeStream.h"
#include "model/PanelModel.h"
#include "model/SurfaceSolution.h"
#include "solver/SolverChoice.h"

namespace panelflow {

inline constexpr std::string_view kNoSolutionForLoadsMessage =
    "There is no solution of this geometry to compute loads from: apply the Hess panel method first.";

struct LoadsSettings {
    std::optional<SolverKind> solver;   // a forced solver for the unit motions
    std::optional<Vector3> reference;   // none: the area centroid of the control points
};

// The loads of `surface`, the solution of the free stream `vinf` about `model`, for callers that
// keep no session (the Python module): the same choice of solver, memory check, refusals and
// messages as the command. A stop throws Cancelled; `loads` is written only on success.
Status ComputeLoads(const PanelModel& model, const SurfaceSolution& surface, const FreeStream& vinf,
                    Progress* progress, const LoadsSettings& settings, BodyLoads& loads);

// Computes the loads of the session's solution into `loads`.
bool LoadsCommand(const Session& session, UserInterface& ui, Progress* progress, const LoadsSettings& settings,
                  BodyLoads& loads);

// The same, then writes them to the JSON file at `path` (results/LoadsReport.h), which is checked
// before the work starts.
bool LoadsFileCommand(const Session& session, const std::string& path, UserInterface& ui, Progress* progress,
                      const LoadsSettings& settings, BodyLoads& loads);

}  // namespace panelflow
