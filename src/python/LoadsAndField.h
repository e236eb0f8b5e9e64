// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Internal to the Python module: pf.loads and pf.field, what a Solution is computed for, through
// the loads and flow-field commands' session-free parts (LoadsCommand.h, FieldCommand.h).

#include <pybind11/pybind11.h>

namespace panelflow::python {

void DefineLoadsAndField(pybind11::module_& module);

}  // namespace panelflow::python
