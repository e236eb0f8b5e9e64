// SPDX-License-Identifier: GPL-3.0-or-later
#include "Body.h"

#include <utility>

#include <pybind11/numpy.h>

#include "Arrays.h"
#include "Errors.h"
#include "ReleasedWork.h"

namespace py = pybind11;
using namespace pybind11::literals;

namespace panelflow::python {
namespace {

using BodyPointer = std::shared_ptr<Body>;
using Points = py::array_t<double, py::array::c_style | py::array::forcecast>;

// A count as the text of a count box: the whole number's digits, so that the batch program's
// rule reads it and refuses it with the same words ("NI must be a whole number of at least 1").
std::string CountText(const py::handle& count) {
    PyObject* index = PyNumber_Index(count.ptr());
    if (index == nullptr) throw py::error_already_set();
    return py::str(py::reinterpret_steal<py::object>(index));
}

std::string Shapes(std::initializer_list<const Points*> arrays) {
    std::string text;
    for (const Points* a : arrays) {
        if (!text.empty()) text += ", ";
        text += py::str(a->attr("shape")).cast<std::string>();
    }
    return text;
}

// Builds with `build` on a worker (the GIL released), then warns about a suspect body.
template <class Build>
BodyPointer Built(std::string kind, const py::object& progress, Build&& build) {
    auto body = std::make_shared<Body>();
    body->kind = std::move(kind);
    Status status;
    RunReleased(progress, [&](Progress& watched) { status = build(body->built, &watched); });
    Check(status);
    WarnAboutBody(BodyWarning(body->built, ""));
    return body;
}

BodyPointer Sphere(const py::object& ni, const py::object& nj, const py::object& progress) {
    const std::string niText = CountText(ni), njText = CountText(nj);
    return Built("sphere", progress, [&](BuiltBody& built, Progress* watched) { return BuildSphereBody(niText, njText, built, watched); });
}

BodyPointer Profile(const std::string& path, const py::object& nj, const py::object& progress) {
    const std::string njText = CountText(nj);
    return Built("profile", progress, [&](BuiltBody& built, Progress* watched) { return BuildProfileFileBody(path, njText, built, watched); });
}

BodyPointer CornerPoints(const std::string& path, const py::object& progress) {
    return Built("corners", progress, [&](BuiltBody& built, Progress* watched) { return BuildCornerFileBody(path, built, watched); });
}

BodyPointer Revolve(const Points& x, const Points& r, const py::object& nj, const py::object& progress) {
    if (x.ndim() != 1 || r.ndim() != 1 || x.shape(0) != r.shape(0) || x.shape(0) < 2)
        RaiseValueError("x and r must be one-dimensional arrays of the same length, at least 2 points from the nose "
                        "to the tail; their shapes are " + Shapes({&x, &r}) + ".");
    const std::string njText = CountText(nj);
    const py::ssize_t NP = x.shape(0);
    BodyProfile profile;
    profile.xI = Array1D<double>(NP);
    profile.rI = Array1D<double>(NP);
    std::copy(x.data(), x.data() + NP, profile.xI.data() + 1);
    std::copy(r.data(), r.data() + NP, profile.rI.data() + 1);
    return Built("revolve", progress,
                 [&](BuiltBody& built, Progress* watched) {
                     return BuildRevolvedBody(std::move(profile), njText, built, watched);
                 });
}

BodyPointer Grid(const Points& X, const Points& Y, const Points& Z, const py::object& progress) {
    const auto shape = [](const Points& a) { return std::vector<py::ssize_t>(a.shape(), a.shape() + a.ndim()); };
    if (X.ndim() != 2 || shape(X) != shape(Y) || shape(X) != shape(Z) || X.shape(0) < 2 || X.shape(1) < 2)
        RaiseValueError("X, Y and Z must be two-dimensional arrays of one shape (NI + 1, NJ + 1), at least (2, 2); "
                        "their shapes are " + Shapes({&X, &Y, &Z}) + ".");
    PanelModel grid;
    grid.NI1 = static_cast<int>(X.shape(0));
    grid.NJ1 = static_cast<int>(X.shape(1));
    grid.NI = grid.NI1 - 1;
    grid.NJ = grid.NJ1 - 1;
    grid.xNode = Array2D<double>(grid.NI1, grid.NJ1);
    grid.yNode = Array2D<double>(grid.NI1, grid.NJ1);
    grid.zNode = Array2D<double>(grid.NI1, grid.NJ1);
    for (const auto& [from, to] : {std::pair{&X, &grid.xNode}, std::pair{&Y, &grid.yNode}, std::pair{&Z, &grid.zNode}}) {
        const auto in = from->unchecked<2>();
        for (int i = 1; i <= grid.NI1; ++i)
            for (int j = 1; j <= grid.NJ1; ++j) (*to)(i, j) = in(i - 1, j - 1);
    }
    return Built("grid", progress, [&](BuiltBody& built, Progress* watched) { return BuildGridBody(std::move(grid), built, watched); });
}

const PanelModel& ModelOf(const py::object& self) { return self.cast<const Body&>().built.model; }

}  // namespace

void DefineBody(py::module_& module) {
    py::class_<Body, BodyPointer>(module, "Body", R"(A closed body divided into NI x NJ flat panels.

NI rows of panels run along the body (from the nose, the smaller x, to the tail), NJ columns
around it; the first and the last row are triangles closing the poles. Panel (i, j) of the
results file (1-based) is [i - 1, j - 1] here, and its panel number m = (i - 1) * NJ + j is
the flat index m - 1 of a C-ordered (NI, NJ) array.

Arrays are read-only. Per-panel scalars are views of the body's own storage (no copy); arrays
of vectors, shaped (..., 3) for x, y, z, are new copies at every access.)")
        .def_property_readonly("ni", [](const Body& b) { return b.built.model.NI; }, "NI, the rows of panels along the body.")
        .def_property_readonly("nj", [](const Body& b) { return b.built.model.NJ; }, "NJ, the columns of panels around the body.")
        .def_property_readonly("n_panels", [](const Body& b) { return b.built.model.PanelCount(); }, "NI * NJ.")
        .def_property_readonly("kind", [](const Body& b) { return b.kind; },
                               "How the body was made: 'sphere', 'profile', 'corners', 'revolve' or 'grid'.")
        .def_property_readonly("source", [](const Body& b) { return b.built.source; },
                               "The file the points came from ('' for the sphere and for arrays).")
        .def_property_readonly("is_revolution", [](const Body& b) { return b.built.model.BodyOfRevolution; },
                               "True for a profile turned about x in NJ equal steps (pf.sphere, pf.profile,\n"
                               "pf.revolve): such a body can be solved through its symmetry.")
        .def_property_readonly("nodes", [](const Body& b) {
            const PanelModel& m = b.built.model;
            return Vectors(m.xNode, m.yNode, m.zNode, m.NI1, m.NJ1);
        }, "(NI + 1, NJ + 1, 3): the corner points (nodes), rows along the body, columns around it;\n"
           "column NJ repeats column 0.")
        .def_property_readonly("corners", [](const Body& b) {
            const PanelModel& m = b.built.model;
            return Corners(m.xCorner, m.yCorner, m.zCorner, m.NI, m.NJ);
        }, "(NI, NJ, 4, 3): the corners of every panel, in order nodes [i, j], [i + 1, j],\n"
           "[i + 1, j + 1], [i, j + 1]; a triangle repeats its pole.")
        .def_property_readonly("n_corners", [](const py::object& self) {
            const PanelModel& m = ModelOf(self);
            return View(m.nCorner, m.NI, m.NJ, self);
        }, "(NI, NJ) int: 3 for a triangle, 4 for a quadrilateral.")
        .def_property_readonly("control_points", [](const Body& b) {
            const PanelModel& m = b.built.model;
            return Vectors(m.xC, m.yC, m.zC, m.NI, m.NJ);
        }, "(NI, NJ, 3): every panel's control point, the mean of its corners.")
        .def_property_readonly("normals", [](const Body& b) {
            const PanelModel& m = b.built.model;
            return Vectors(m.ZtaX, m.ZtaY, m.ZtaZ, m.NI, m.NJ);
        }, "(NI, NJ, 3): every panel's outward unit normal.")
        .def_property_readonly("areas", [](const py::object& self) {
            const PanelModel& m = ModelOf(self);
            return View(m.Area, m.NI, m.NJ, self);
        }, "(NI, NJ): every panel's area.")
        .def("__repr__", [](const Body& b) {
            return "<panelflow.Body " + b.kind + (b.built.source.empty() ? "" : " '" + b.built.source + "'") + ", " +
                   std::to_string(b.built.model.NI) + " x " + std::to_string(b.built.model.NJ) + " panels>";
        });

    module.def("sphere", &Sphere, "ni"_a = 16, "nj"_a = 16, "progress"_a = py::none(),
               R"(The sphere of diameter 1 (from x = 0 to x = 1) in NI rows and NJ columns of panels.

The counts are read as the batch program reads --ni and --nj: anything but a whole number from
1 to 2147483646 raises ValueError with its message; MemoryError when the panels cannot fit.
`progress`: None or callable(stage, fraction). Ctrl-C raises KeyboardInterrupt.)");
    module.def("profile", &Profile, "path"_a, "nj"_a = 16, "progress"_a = py::none(),
               R"(A body profile file (*.BodyFoil) turned about the x axis into NJ columns of panels.

NI is the file's point count - 1. A missing or unreadable file raises OSError, a bad one
ValueError, each with the batch program's message naming the file, the line and the field.)");
    module.def("corners", &CornerPoints, "path"_a, "progress"_a = py::none(),
               R"(A panel corner-point file (*.Coords), which brings NI and NJ.

A missing or unreadable file raises OSError, a bad one ValueError.)");
    module.def("revolve", &Revolve, "x"_a, "r"_a, "nj"_a = 16, "progress"_a = py::none(),
               R"(A profile given as arrays, turned about the x axis into NJ columns of panels.

x, r: one-dimensional, NP >= 2 points from the nose to the tail (increasing x, r >= 0, both
ends on the axis); NI = NP - 1. The same body as a profile file with these points.)");
    module.def("grid", &Grid, "X"_a, "Y"_a, "Z"_a, "progress"_a = py::none(),
               R"(A body from its corner points given as arrays of shape (NI + 1, NJ + 1).

Row 0 and row NI are the poles, rows advance towards larger x, columns turn positively about +x
and column NJ repeats column 0: the node grid of a corner-point file, 0-based. Never solved
through symmetry.)");
}

}  // namespace panelflow::python
