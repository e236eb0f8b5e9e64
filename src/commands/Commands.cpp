#include "commands/Commands.h"

#include <new>
#include <string>

#include "commands/HessSolve.h"
#include "commands/Messages.h"
#include "commands/Refusal.h"
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
    SolverPlan plan;
    if (const Status planned = PlanSolver(model, settings, plan); !planned)
        return {Refuse(planned, nullptr, ui), false, planned.fault == Fault::Memory ? plan.choice.Text() : std::string()};

    ResultsTransaction transaction(session.shell.OutFile);
    HessOutcome outcome;
    try {
        outcome = HessSolve(model, vinf, session.solution, session.shell.OutFile, progress, settings);
    } catch (const std::bad_alloc&) {
        return {Refuse(plan.MemoryRefusal(), &transaction, ui), false, plan.choice.Text()};
    } catch (const Cancelled&) {
        transaction.Rollback();
        return {false, false, plan.choice.Text()};
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
