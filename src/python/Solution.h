// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Internal to the Python module: pf.solve and panelflow.Solution, the flow of a free stream about
// a Body through the solver entry point, as the Hess command solves it (HessSolve.h), kept in
// memory; the results file, the CSV and the VTK file are written only when asked for.

#include <memory>
#include <optional>
#include <string>

#include <pybind11/pybind11.h>

#include "Body.h"
#include "commands/HessSolve.h"
#include "model/FreeStream.h"
#include "model/SurfaceSolution.h"

namespace panelflow::python {

struct Solution {
    std::shared_ptr<const Body> body;
    FreeStream vinf;
    HessSettings settings;
    SolverChoice choice;
    SurfaceSolution surface;
};

// A solver's name as a caller gives it: "auto" (none forced) or one of the solvers' names;
// ValueError for any other.
std::optional<SolverKind> ReadSolver(const std::string& name);

void DefineSolution(pybind11::module_& module);

}  // namespace panelflow::python
