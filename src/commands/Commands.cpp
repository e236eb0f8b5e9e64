#include "commands/Commands.h"

#include <new>
#include <string>

#include "commands/HessSolve.h"
#include "commands/Messages.h"
#include "commands/Refusal.h"
#include "model/PanelCounts.h"
#include "results/ResultsFile.h"

namespace panelflow {

bool StartCommand(Session& session, UserInterface& ui) {
    const Status started = StartResultsFile(session.shell.OutFile);
    if (!started) return Refuse(started, nullptr, ui);
    return true;
}

HessCommandResult HessCommand(Session& session, UserInterface& ui, Progress* progress, const FreeStream& vinf,
                              const HessSettings& settings) {
    if (!session.shell.GeometryReady) {
        ui.ShowMessage(std::string(kNoGeometryMessage));
        return {};
    }
    const PanelModel& model = session.model;
    SolverChoice choice;
    const Status chosen = ChooseSolver(model, settings.solver, settings.writeTables, choice);
    if (!chosen) return {Refuse(chosen, nullptr, ui), false, {}};
    const double bytes = SolverBytes(choice.kind, model.NI, model.NJ);
    const Status fits = CheckProblemFits(model.NI, model.NJ, bytes, SolverMemoryName(choice.kind));
    if (!fits) return {Refuse(fits, nullptr, ui), false, choice.Text()};

    ResultsTransaction transaction(session.shell.OutFile);
    HessOutcome outcome;
    try {
        outcome = HessSolve(model, vinf, session.solution, session.shell.OutFile, progress, settings);
    } catch (const std::bad_alloc&) {
        return {Refuse(OutOfMemory("The solution", bytes), &transaction, ui), false, choice.Text()};
    } catch (const Cancelled&) {
        transaction.Rollback();
        return {false, false, choice.Text()};
    }
    if (!outcome.status) return {Refuse(outcome.status, &transaction, ui), false, outcome.choice.Text()};
    session.vinf = vinf;
    if (outcome.zeroPivot) ui.ShowMessage(std::string(kZeroPivotMessage));
    session.shell.DrawPanels = true;
    session.shell.DrawCpSurface = true;
    session.shell.SolutionReady = true;
    return {true, outcome.zeroPivot, outcome.choice.Text()};
}

}  // namespace panelflow
