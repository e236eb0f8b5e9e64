// SPDX-License-Identifier: GPL-3.0-or-later
#include "LoadsAndField.h"

#include <cmath>
#include <string>
#include <vector>

#include <pybind11/numpy.h>

#include "Errors.h"
#include "ReleasedWork.h"
#include "Solution.h"
#include "base/NumberText.h"
#include "commands/FieldCommand.h"
#include "commands/LoadsCommand.h"
#include "results/LoadsReport.h"

namespace py = pybind11;
using namespace pybind11::literals;

namespace panelflow::python {
namespace {

using Points = py::array_t<double, py::array::c_style | py::array::forcecast>;

// "(x, y, z)" of a point, for a refusal.
std::string PointText(const double* p) {
    return "(" + ShortestText(p[0]) + ", " + ShortestText(p[1]) + ", " + ShortestText(p[2]) + ")";
}

std::optional<Vector3> ReadReference(const py::object& reference) {
    if (reference.is_none()) return std::nullopt;
    const Points point = Points::ensure(reference);
    if (!point || point.ndim() != 1 || point.shape(0) != 3)
        RaiseValueError("The reference point must be three numbers x, y, z.");
    if (!std::isfinite(point.at(0)) || !std::isfinite(point.at(1)) || !std::isfinite(point.at(2)))
        RaiseValueError("The reference point " + PointText(point.data()) + " is not three finite numbers.");
    return Vector3{point.at(0), point.at(1), point.at(2)};
}

// The batch program's loads file read by Python's json, its lists as NumPy arrays: the same keys
// and the same doubles, from the one writer of that file.
py::dict LoadsAsDict(const BodyLoads& loads) {
    const py::dict parsed = py::module_::import("json").attr("loads")(LoadsJsonText(loads));
    const py::object asarray = py::module_::import("numpy").attr("asarray");
    py::dict result;
    for (const auto [key, value] : parsed)
        result[key] = py::isinstance<py::list>(value) ? asarray(value) : py::reinterpret_borrow<py::object>(value);
    return result;
}

py::dict Loads(const Solution& s, const py::object& reference, const std::string& solver, const py::object& progress) {
    LoadsSettings settings{ReadSolver(solver), ReadReference(reference)};
    BodyLoads loads;
    Status status;
    RunReleased(progress, [&](Progress& watched) {
        status = ComputeLoads(s.body->built.model, s.surface, s.vinf, &watched, settings, loads);
    });
    Check(status);
    return LoadsAsDict(loads);
}

py::dict Field(const Solution& s, const Points& points, const py::object& progress) {
    if (points.ndim() < 1 || points.shape(points.ndim() - 1) != 3)
        RaiseValueError("The points must be an array of shape (..., 3), x, y, z last; its shape is " +
                        py::str(points.attr("shape")).cast<std::string>() + ".");
    const py::ssize_t count = points.size() / 3;
    std::vector<Vector3> at(static_cast<std::size_t>(count));
    for (py::ssize_t n = 0; n < count; ++n) {
        const double* p = points.data() + 3 * n;
        if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2]))
            RaiseValueError("Point " + std::to_string(n) + " of the points, " + PointText(p) +
                            ", is not three finite numbers.");
        at[static_cast<std::size_t>(n)] = {p[0], p[1], p[2]};
    }
    FieldValues values;
    Status status;
    RunReleased(progress, [&](Progress& watched) {
        status = ComputeField(s.body->built.model, s.surface, s.vinf, at, &watched, values);
    });
    Check(status);

    // Shaped as the points without their last axis.
    const std::vector<py::ssize_t> shape(points.shape(), points.shape() + points.ndim() - 1);
    std::vector<py::ssize_t> vectorShape = shape;
    vectorShape.push_back(3);
    py::array_t<double> velocity(vectorShape), cp(shape), oneMinusCp(shape);
    py::array_t<bool> inside(shape);
    for (py::ssize_t n = 0; n < count; ++n) {
        const auto k = static_cast<std::size_t>(n);
        for (int c = 0; c < 3; ++c) velocity.mutable_data()[3 * n + c] = values.velocity[k][c];
        cp.mutable_data()[n] = values.cp[k];
        oneMinusCp.mutable_data()[n] = values.oneMinusCp[k];
        inside.mutable_data()[n] = values.inside[k] != 0;
    }
    return py::dict("velocity"_a = velocity, "cp"_a = cp, "one_minus_cp"_a = oneMinusCp, "inside"_a = inside);
}

}  // namespace

void DefineLoadsAndField(py::module_& module) {
    module.def("loads", &Loads, "solution"_a, "reference"_a = py::none(), "solver"_a = "auto", "progress"_a = py::none(),
               R"(The loads of a Solution: what the batch program's `loads` step writes to its JSON file, as a dict
with the same keys ("force", "moment", "dalembert_residual", "munk_moment", "added_mass" (6 x 6),
"displaced_volume", "wetted_area", "displaced_inertia", for a body of revolution "k1", "k2",
"k_prime", "reference_point", "free_stream", "solver", "units"), vectors and the matrix as NumPy
arrays, the numbers the same doubles.

reference: the point (x, y, z) of the moments and the turns; None: the area centroid of the
control points.
solver: the solver of the six unit motions of the added masses, "auto" (chosen for the body) or
one of the solvers' names.
Raises ValueError, MemoryError and KeyboardInterrupt as pf.solve does.)");
    module.def("field", &Field, "solution"_a, "points"_a, "progress"_a = py::none(),
               R"(The flow off the body at `points`, an array of shape (..., 3), as the batch program's `field` step
computes it. Returns a dict of arrays shaped as the points without their last axis:
"velocity" (..., 3), "cp", "one_minus_cp" and "inside" (bool; inside the body the fluid is at
rest: velocity 0, cp 1).
Raises ValueError for points that are not finite, MemoryError and KeyboardInterrupt as pf.solve does.)");
}

}  // namespace panelflow::python
