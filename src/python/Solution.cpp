// SPDX-License-Identifier: GPL-3.0-or-later
#include "Solution.h"

#include <new>
#include <optional>
#include <string>
#include <utility>

#include <pybind11/numpy.h>

#include "Arrays.h"
#include "Errors.h"
#include "ReleasedWork.h"
#include "base/NumberText.h"
#include "base/PrintableText.h"
#include "commands/ExportCommand.h"
#include "commands/FreeStreamText.h"
#include "commands/Messages.h"
#include "model/PanelCounts.h"
#include "results/ResultsFile.h"
#include "results/ResultsFileLock.h"

namespace py = pybind11;
using namespace pybind11::literals;

namespace panelflow::python {
namespace {

using SolutionPointer = std::shared_ptr<Solution>;

// The stream as the text of --stream, so that it is read and refused with the same words: a text
// as it stands, or the shortest texts of the numbers of a sequence, joined by commas.
std::string StreamText(const py::object& stream) {
    if (py::isinstance<py::str>(stream)) return stream.cast<std::string>();
    std::string text;
    bool first = true;
    for (const py::handle component : stream) {
        if (!first) text += ',';
        first = false;
        text += ShortestText(py::float_(py::reinterpret_borrow<py::object>(component)).cast<double>());
    }
    return text;
}

SolutionPointer Solve(std::shared_ptr<Body> body, const py::object& stream, const std::string& solver,
                      double accuracy, const py::object& progress) {
    if (!(accuracy >= kTightestAccuracy && accuracy <= kLoosestAccuracy))
        RaiseValueError("The accuracy must be a number from " + ShortestText(kTightestAccuracy) + " to " +
                        ShortestText(kLoosestAccuracy) + "; it is " + ShortestText(accuracy) + ".");
    auto solution = std::make_shared<Solution>();
    solution->body = body;
    solution->settings.writeTables = false;
    solution->settings.solver = ReadSolver(solver);
    solution->settings.accuracy = accuracy;
    solution->settings.streamText = StreamText(stream);
    Check(ReadFreeStream(solution->settings.streamText, solution->vinf));

    const PanelModel& model = body->built.model;
    SolverPlan plan;
    Check(PlanSolver(model, solution->settings, plan));
    HessOutcome outcome;
    bool memory = false;
    RunReleased(progress, [&](Progress& watched) {
        try {
            outcome = SolveStream(model, solution->vinf, solution->surface, &watched, solution->settings);
        } catch (const std::bad_alloc&) {
            memory = true;
        }
    });
    if (memory) Check(plan.MemoryRefusal());
    Check(outcome.status);
    // All-zero strengths are no answer to build on: the batch program stops there too.
    if (outcome.zeroPivot)
        RaiseValueError(std::string(kZeroPivotMessage) + '\n' +
                        ZeroPivotExplanation(outcome.pivotStep, model.PanelCount(), false));
    solution->choice = outcome.choice;
    return solution;
}

void WriteResults(const Solution& s, const std::string& path, bool tables, const py::object& progress) {
    const PanelModel& model = s.body->built.model;
    // The tables are assembled afresh: refused before the file is touched when they cannot fit.
    if (tables) Check(CheckProblemFits(model.NI, model.NJ));
    // No other program may write the file meanwhile, nor this one while another does.
    ResultsFileLock lock;
    Check(lock.Take(path));
    Status status;
    bool memory = false;
    // Made once the file is started empty: whatever ends the call early (a failure, Ctrl-C, an
    // exception of the callback, even one that comes as the work ends) leaves the file empty.
    std::optional<ResultsTransaction> transaction;
    try {
        RunReleased(progress, [&](Progress& watched) {
            status = StartResultsFile(path);
            if (!status) return;
            transaction.emplace(path);
            try {
                status = AppendBodySections(s.body->built, path, &watched);
                if (status && tables) status = AppendCoefficientTables(model, s.vinf, path, &watched);
                if (status) status = AppendSolutionSections(path, s.surface, model.NI, model.NJ);
            } catch (const std::bad_alloc&) {
                memory = true;
            }
        });
    } catch (...) {
        if (transaction) transaction->Rollback();
        throw;
    }
    if ((!status || memory) && transaction) transaction->Rollback();
    if (memory) Check(OutOfMemory("The results file", tables ? InfluenceMatrixBytes(model.NI, model.NJ)
                                                             : PanelModelBytes(model.NI, model.NJ)));
    Check(status);
}

void Export(const Solution& s, const std::string& path, SurfaceFormat format, const py::object& progress) {
    // The writer refuses a results file that another program is writing (results/WholeFile.h).
    Status status;
    RunReleased(progress, [&](Progress& watched) {
        status = ExportSurface(s.body->built.model, s.surface, path, format, {std::string(), &watched});
    });
    Check(status);
}

const Solution& Of(const py::object& self) { return self.cast<const Solution&>(); }

}  // namespace

std::optional<SolverKind> ReadSolver(const std::string& name) {
    if (name == "auto") return std::nullopt;
    SolverKind kind{};
    if (!ReadSolverName(name, kind))
        RaiseValueError("unknown solver \"" + PrintableText(name) + "\"; the solvers are auto|" + SolverNames());
    return kind;
}

void DefineSolution(py::module_& module) {
    py::class_<Solution, SolutionPointer>(module, "Solution", R"(The flow of a free stream about a Body, per panel.

Arrays have the body's panel shape (NI, NJ), 0-based: panel (i, j) of the results file is
[i - 1, j - 1]. Scalars are read-only views of the solution's own storage (no copy); `cp` and
`velocity` are new arrays at every access.)")
        .def_property_readonly("body", [](const Solution& s) { return std::const_pointer_cast<Body>(s.body); },
                               "The Body solved.")
        .def_property_readonly("stream", [](const Solution& s) {
            return py::make_tuple(s.vinf.VinfX, s.vinf.VinfY, s.vinf.VinfZ);
        }, "The free stream (x, y, z).")
        .def_property_readonly("solver", [](const Solution& s) { return std::string(SolverName(s.choice.kind)); },
                               "The name of the solver that solved ('dense', 'symmetric', 'hierarchical').")
        .def_property_readonly("solver_reason", [](const Solution& s) { return s.choice.Text(); },
                               "Which solver solved and why, as the program says it.")
        .def_property_readonly("sigma", [](const py::object& self) {
            const Solution& s = Of(self);
            return View(s.surface.Sigma, s.body->built.model.NI, s.body->built.model.NJ, self);
        }, "(NI, NJ): the source strength of every panel (\"Source strengths\" in the results file).")
        .def_property_readonly("one_minus_cp", [](const py::object& self) {
            const Solution& s = Of(self);
            return View(s.surface.OneMinusCp, s.body->built.model.NI, s.body->built.model.NJ, self);
        }, "(NI, NJ): 1 - Cp = |V|^2 / |Vinf|^2 at every control point (\"1-Cp\").")
        .def_property_readonly("cp", [](const Solution& s) {
            const int NI = s.body->built.model.NI, NJ = s.body->built.model.NJ;
            py::array_t<double> cp({static_cast<py::ssize_t>(NI), static_cast<py::ssize_t>(NJ)});
            auto out = cp.mutable_unchecked<2>();
            for (int i = 1; i <= NI; ++i)
                for (int j = 1; j <= NJ; ++j) out(i - 1, j - 1) = 1.0 - s.surface.OneMinusCp(i, j);
            return cp;
        }, "(NI, NJ): the pressure coefficient Cp = 1 - (1 - Cp), a new array.")
        .def_property_readonly("velocity", [](const Solution& s) {
            const PanelModel& m = s.body->built.model;
            return Vectors(s.surface.Vx, s.surface.Vy, s.surface.Vz, m.NI, m.NJ);
        }, "(NI, NJ, 3): the surface velocity at every control point, global axes, a new array.")
        .def("write_results", &WriteResults, "path"_a = std::string(kResultsFileName), "tables"_a = true,
             "progress"_a = py::none(),
             R"(Writes the results file: the body's sections, the three coefficient tables (tables=True),
"Source strengths" and "1-Cp", byte for byte as the batch program writes them for the same body,
stream and solver. The file is replaced; on a failure or Ctrl-C it is left empty. The tables are
assembled afresh and need the dense solver's memory (MemoryError when it cannot be had).)")
        .def("to_csv", [](const Solution& s, const std::string& path, const py::object& progress) {
            Export(s, path, SurfaceFormat::Csv, progress);
        }, "path"_a, "progress"_a = py::none(),
             "The solution per panel as CSV, as the batch program's `csv` step writes it (OSError when\n"
             "the file cannot be written; a file at `path` is then as it was).")
        .def("to_vtk", [](const Solution& s, const std::string& path, const py::object& progress) {
            Export(s, path, SurfaceFormat::Vtk, progress);
        }, "path"_a, "progress"_a = py::none(),
             "The panels and their solution as VTK PolyData (.vtp), as the batch program's `vtk` step.")
        .def("__repr__", [](const Solution& s) {
            return "<panelflow.Solution " + std::to_string(s.body->built.model.NI) + " x " +
                   std::to_string(s.body->built.model.NJ) + " panels, stream (" + FreeStreamText(s.vinf) + "), " +
                   s.choice.Text() + ">";
        });

    module.def("solve", &Solve, "body"_a, "stream"_a = py::make_tuple(1.0, 0.0, 0.0), "solver"_a = "auto",
               "accuracy"_a = kDefaultHierarchicalAccuracy, "progress"_a = py::none(),
               R"(Solves the flow of a uniform free stream about `body`; writes no file.

stream: (x, y, z) or a text "X,Y,Z" as the batch program's --stream; 1 - Cp depends on its
direction only, sigma and the velocities scale with it.
solver: "auto" (symmetric for a body of revolution, hierarchical otherwise), "dense",
"symmetric" or "hierarchical"; a choice the body cannot take raises ValueError.
accuracy: the hierarchical solver's, from 1e-12 to 0.1: the relative error allowed in its
compressed blocks (the batch program's --accuracy).
progress: None or callable(stage, fraction), called from this thread while the work runs.

Raises ValueError for a bad stream or solver, or when the elimination meets a zero pivot
(" sıfır diyagonal elemanı" and the step), MemoryError when the solver's memory cannot be had, and
KeyboardInterrupt on Ctrl-C (nothing is kept).)");
}

}  // namespace panelflow::python
