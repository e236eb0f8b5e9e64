// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Internal to the Python module: refusals as Python exceptions, with the batch program's
// messages word for word. Bad input (counts, a file's contents, a body, a stream, a solver's
// name) raises ValueError, memory or a limit on it MemoryError, a file that cannot be opened,
// read or written OSError. A body that was built but cannot be right gives a BodyWarning.

#include <string>

#include <pybind11/pybind11.h>

#include "base/Status.h"

namespace panelflow::python {

// Raises the exception for a refusal; returns when `status` is ok.
void Check(const Status& status);

// Raises ValueError with `message`.
[[noreturn]] void RaiseValueError(const std::string& message);

// The warning category panelflow.BodyWarning (a UserWarning), made once by the module.
void DefineBodyWarning(pybind11::module_& module);
// Warns with `text` unless it is empty.
void WarnAboutBody(const std::string& text);

}  // namespace panelflow::python
