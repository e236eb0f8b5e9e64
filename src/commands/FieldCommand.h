// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Flow field": the flow off the body of the current solution (solver/FlowAtPoints.h) at the
// points that `where` names, written to the file at `path`.
//
// `where` names a points file (input/FieldPointsInput.h) when a file of that name exists, or it
// holds no colon, or a slash, or ends in .csv; otherwise it is a box text X0:X1:NX,Y0:Y1:NY,Z0:Z1:NZ. `path` ends in .csv (any
// points) or .vts (a box's grid; results/FlowFieldExport.h), letters of any case.
//
// The command changes nothing in the session and nothing in the results file. A refusal (no
// solution, a bad box text, a bad points file, a path that cannot be written, a grid that does
// not fit in memory) shows one message through `ui` and returns false, before the work where it
// can; a stop asked through `progress` returns false without one. A file at `path` is then left
// as it was.

#include <string>
#include <string_view>
#include <vector>

#include "base/Progress.h"
#include "base/Status.h"
#include "commands/Session.h"
#include "commands/UserInterface.h"
#include "model/FlowField.h"
#include "model/FreeStream.h"
#include "model/PanelModel.h"
#include "model/SurfaceSolution.h"

namespace panelflow {

inline constexpr std::string_view kNoSolutionForFieldMessage =
    "There is no solution of this geometry to compute the flow field of: apply the Hess panel method first.";

// The flow off the body at `points` about `model`, whose solution in the free stream `vinf` is
// `surface`, for callers that keep the values rather than write them (the Python module); memory
// that cannot be had is refused with the command's message. A stop throws Cancelled.
Status ComputeField(const PanelModel& model, const SurfaceSolution& surface, const FreeStream& vinf,
                    const std::vector<Vector3>& points, Progress* progress, FieldValues& values);

bool FieldCommand(const Session& session, const std::string& where, const std::string& path, UserInterface& ui,
                  Progress* progress = nullptr);

// A box text around the session's body, half its largest extent beyond it on every side (the ends
// rounded outwards to tenths of the extent's decade), with points about 1/40 of twice the extent
// apart ("-0.5:1.5:41,-1:1:41,-1:1:41" for the sphere of diameter 1); "" without a geometry.
std::string DefaultFieldBox(const Session& session);

}  // namespace panelflow
