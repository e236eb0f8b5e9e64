// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The panel method against exact flows: the sphere of diameter 1, a 4:1 prolate spheroid of
// length 1 and an ellipsoid with semi-axes 0.5, 0.25, 0.125, each panelled like the window's
// bodies (rows at equal steps of the parameter angle from nose to tail, columns at equal steps
// about x), solved by the Hess method and compared at every control point with the exact
// 1 - Cp (solver/EllipsoidFlow.h); and the added masses, the Munk moment and the flow off the
// body against their exact values. Shared by the validation program and its test.

#include <string_view>

#include "base/Status.h"
#include "commands/Session.h"
#include "model/BodyLoads.h"
#include "model/FreeStream.h"
#include "solver/EllipsoidFlow.h"
#include "solver/FlowSolver.h"

namespace panelflow {

enum class ValidationBody { Sphere, ProlateSpheroid, Ellipsoid };

inline constexpr ValidationBody kValidationBodies[] = {ValidationBody::Sphere, ValidationBody::ProlateSpheroid,
                                                       ValidationBody::Ellipsoid};

std::string_view ValidationBodyName(ValidationBody body);
Ellipsoid ValidationEllipsoid(ValidationBody body);

struct ValidationResult {
    Status status;
    double maxError = 0.0;   // largest |1 - Cp - exact| over the control points
    double rmsError = 0.0;   // root mean square of the same differences
    double netSource = 0.0;  // sum of sigma * area over the panels (0 for a closed body)
};

// Builds the body with NI x NJ panels into `session` (model and solution; the results-file
// sections go to /dev/null, the coefficient tables are not formatted at all), solves it in
// `vinf` and compares.
ValidationResult RunValidationCase(ValidationBody body, int NI, int NJ, const FreeStream& vinf, Session& session);

// The prolate spheroid of length 1 and diameter 1 / ratio about x (nose at x = 0; ratio 1: the
// sphere as the window generates it) with NI x NJ panels, a body of revolution, into `model`.
Status BuildSpheroid(double ratio, int NI, int NJ, PanelModel& model);

struct LoadsValidation {
    Status status;
    BodyLoads loads;            // computed, about the centre
    SpheroidAddedMass exact;    // Lamb's coefficients (k = 1/2 for the sphere)
    Vector3 exactMunkMoment{};  // -2 e x (A e) with Lamb's added masses
};

// The spheroid of `ratio` with NI x NJ panels into `session`, solved in `vinf` and its loads
// computed about its centre with `settings` (the solver of the unit motions).
LoadsValidation RunLoadsCase(double ratio, int NI, int NJ, const FreeStream& vinf, Session& session,
                             const SolveSettings& settings = {});

// The largest error of the velocity off the sphere solved in `session` by RunLoadsCase (ratio
// 1), at `radii` sphere radii from its centre in 26 directions (towards the faces, edges and
// corners of a cube), against the exact flow; in units of the stream's speed.
double OffBodyVelocityError(const Session& session, double radii);

}  // namespace panelflow
