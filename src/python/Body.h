// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Internal to the Python module: panelflow.Body, a panelled body built by pf.sphere, pf.profile,
// pf.corners, pf.revolve or pf.grid through the geometry commands' own builders (BuiltBody.h).

#include <memory>
#include <string>

#include <pybind11/pybind11.h>

#include "commands/BuiltBody.h"

namespace panelflow::python {

struct Body {
    BuiltBody built;
    std::string kind;  // "sphere", "profile", "corners", "revolve", "grid"
};

void DefineBody(pybind11::module_& module);

}  // namespace panelflow::python
