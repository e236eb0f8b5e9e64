// SPDX-License-Identifier: GPL-3.0-or-later
// The Python module `panelflow`: the bodies, the solution and the files of the program from
// Python, with NumPy arrays. The binding converts and calls the commands' own functions; every
// refusal is an exception with the batch program's message (Errors.h).

#include <string>

#include <pybind11/pybind11.h>

#include "Body.h"
#include "Errors.h"
#include "LoadsAndField.h"
#include "Solution.h"
#include "base/Version.h"
#include "solver/BlasKernels.h"

PYBIND11_MODULE(panelflow, module) {
    using namespace panelflow;
    module.doc() = R"(Potential flow about closed 3-D bodies by Hess's method of flat source panels.

    import panelflow as pf
    body = pf.sphere(ni=32, nj=32)
    sol = pf.solve(body, stream=(1, 0, 0))
    sol.one_minus_cp            # (32, 32), 0-based: results-file panel (i, j) is [i - 1, j - 1]
    sol.write_results("Axisym.txt")

Bodies: sphere, profile, corners, revolve, grid. Then solve, the Solution's arrays and files, and
what it is computed for: loads (forces, moments, added masses) and field (the flow off the body).)";
    python::DefineBodyWarning(module);
    python::DefineBody(module);
    python::DefineSolution(module);
    python::DefineLoadsAndField(module);
    std::string version = VersionLine("panelflow");  // "panelflow 1.0.0 (commit 0b518e8c3f2a)\n"
    version.erase(0, version.find(' ') + 1);
    version.erase(version.find_first_of(" \n"));
    module.attr("__version__") = version;
    module.def("blas_kernels", [] { return std::string(BlasKernelsName()); },
               "The name of the kernels OpenBLAS runs in this process (\"Haswell\", \"SkylakeX\", ...).");
}
