// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/LoadsCommand.h"

#include <new>

#include "base/PrintableText.h"
#include "commands/Refusal.h"
#include "model/PanelCounts.h"
#include "results/LoadsReport.h"
#include "results/WholeFile.h"
#include "solver/LoadsOnBody.h"

namespace panelflow {
namespace {

constexpr double kUnitMotions = 6;
constexpr std::string_view kLoadsFile = "The loads file";

}  // namespace

Status ComputeLoads(const PanelModel& model, const SurfaceSolution& surface, const FreeStream& vinf,
                    Progress* progress, const LoadsSettings& settings, BodyLoads& loads) {
    SolverChoice choice;
    if (const Status chosen = ChooseSolver(model, settings.solver, false, choice, true); !chosen) return chosen;
    const double bytes = SolverBytes(choice.kind, model.NI, model.NJ, kUnitMotions, true);
    if (const Status fits = CheckProblemFits(model.NI, model.NJ, bytes, SolverMemoryName(choice.kind)); !fits)
        return fits;

    SolveSettings solve;
    solve.solver = choice.kind;
    LoadsResult result;
    try {
        result = LoadsOnBody(model, surface, vinf, settings.reference, solve, progress);
    } catch (const std::bad_alloc&) {
        return OutOfMemory("The loads", bytes);
    }
    if (!result.status) return result.status;
    // The entry point was handed the choice made here; its reason is this one's.
    result.loads.solver = choice.Text();
    loads = result.loads;
    return Status::Ok();
}

bool LoadsCommand(const Session& session, UserInterface& ui, Progress* progress, const LoadsSettings& settings,
                  BodyLoads& loads) {
    if (!session.shell.SolutionReady) {
        ui.ShowMessage(std::string(kNoSolutionForLoadsMessage));
        return false;
    }
    Status computed;
    try {
        computed = ComputeLoads(session.model, session.solution, session.vinf, progress, settings, loads);
    } catch (const Cancelled&) {
        return false;
    }
    if (!computed) return Refuse(computed, nullptr, ui);
    return true;
}

bool LoadsFileCommand(const Session& session, const std::string& path, UserInterface& ui, Progress* progress,
                      const LoadsSettings& settings, BodyLoads& loads) {
    if (session.shell.SolutionReady)
        if (const Status target = CheckWholeFileTarget(path, kLoadsFile, {session.shell.OutFile}); !target)
            return Refuse(target, nullptr, ui);
    BodyLoads computed;
    if (!LoadsCommand(session, ui, progress, settings, computed)) return false;
    Status written;
    try {
        ThrowIfStopRequested(progress);
        written = WriteLoadsJson(computed, path, WholeFileGuard{session.shell.OutFile, progress});
    } catch (const std::bad_alloc&) {
        written = Status::Fail(std::string(kLoadsFile) + " " + PrintableText(path) + " cannot be made: there is not enough memory; nothing was written.",
                               Fault::Memory);
    } catch (const Cancelled&) {
        return false;
    }
    if (!written) return Refuse(written, nullptr, ui);
    loads = computed;
    return true;
}

}  // namespace panelflow
