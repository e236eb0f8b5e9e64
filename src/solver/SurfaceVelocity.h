// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// From a solution of the free stream `vinf` (FlowProblem.h) to what the program keeps on the
// surface: the strength of every panel, the surface velocity at every control point in global
// axes (the tangential velocity along Xsi and Ita turned back), and
// 1 - Cp = (u_t^2 + v_t^2) / |Vinf|^2.
//
// `surface` is replaced: Sigma, OneMinusCp, Vx, Vy, Vz [0..NI] x [0..NJ]. Vinf must not be zero.

#include "model/FreeStream.h"
#include "model/PanelModel.h"
#include "model/SurfaceSolution.h"
#include "solver/FlowProblem.h"

namespace panelflow {

void SurfaceVelocity(const PanelModel& model, const FreeStream& vinf, const OnsetSolution& solution,
                     SurfaceSolution& surface);

}  // namespace panelflow
