// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The loads on a body in the free stream and its added masses (model/BodyLoads.h states the
// conventions): the pressure integrated over the panels from the stream's 1 - Cp, the displaced
// fluid, the six unit motions through the solver entry point (AddedMasses.h) and the Munk moment.
// Plain functions of the panel model and the surface solution, returning numbers.

#include <optional>

#include "base/Progress.h"
#include "model/BodyLoads.h"
#include "model/FreeStream.h"
#include "model/PanelModel.h"
#include "model/SurfaceSolution.h"
#include "solver/FlowSolver.h"

namespace panelflow {

// The centroid of the panels' control points weighted by their areas.
Vector3 AreaCentroid(const PanelModel& model);

// The pressure force and moment about `reference` from 1 - Cp per panel, and the wetted area.
struct PressureIntegrals {
    Vector3 force{}, moment{};
    double wettedArea = 0.0;
};
PressureIntegrals IntegratePressure(const PanelModel& model, const Array2D<double>& OneMinusCp,
                                    const Vector3& reference);

// The volume that the flat panels enclose (the sum of the cones from `reference` over them, each
// one third of its area times the height of its plane above `reference`), and the displaced
// fluid's moments of inertia about the axes through `reference`, both exact for the panels
// (tetrahedra from `reference` over each panel's triangles). Negative where the normals point in.
struct DisplacedFluid {
    double volume = 0.0;
    Vector3 inertia{};  // Ixx, Iyy, Izz
};
DisplacedFluid DisplacedFluidOf(const PanelModel& model, const Vector3& reference);

struct LoadsResult {
    Status status;  // a refusal: the entry point's, a zero pivot, a body without volume, numbers not finite
    BodyLoads loads;
};

// Everything in BodyLoads for `model` (at least one panel) and the solution `surface` of the
// free stream `vinf` (not zero), about `reference` or, without one, the area centroid. A body far
// from unit size is computed scaled to it, like the Hess command's solution. A stop throws
// Cancelled, memory that cannot be had std::bad_alloc.
LoadsResult LoadsOnBody(const PanelModel& model, const SurfaceSolution& surface, const FreeStream& vinf,
                        const std::optional<Vector3>& reference = std::nullopt, const SolveSettings& settings = {},
                        Progress* progress = nullptr);

}  // namespace panelflow
