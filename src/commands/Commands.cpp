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

HessCommandResult HessCommand(Session& session, UserInterface& ui, Progress* progress, const FreeStream& vinf) {
    if (!session.shell.GeometryReady) {
        ui.ShowMessage(std::string(kNoGeometryMessage));
        return {};
    }
    const Status fits = CheckProblemFits(session.model.NI, session.model.NJ);
    if (!fits) return {Refuse(fits, nullptr, ui)};

    ResultsTransaction transaction(session.shell.OutFile);
    HessOutcome outcome;
    try {
        outcome = HessSolve(session.model, vinf, session.solution, session.shell.OutFile, progress);
    } catch (const std::bad_alloc&) {
        const double bytes = InfluenceMatrixBytes(session.model.NI, session.model.NJ);
        return {Refuse(OutOfMemory("The solution", bytes), &transaction, ui)};
    } catch (const Cancelled&) {
        transaction.Rollback();
        return {};
    }
    if (!outcome.status) return {Refuse(outcome.status, &transaction, ui)};
    session.vinf = vinf;
    if (outcome.zeroPivot) ui.ShowMessage(std::string(kZeroPivotMessage));
    session.shell.DrawPanels = true;
    session.shell.DrawCpSurface = true;
    session.shell.SolutionReady = true;
    return {true, outcome.zeroPivot};
}

}  // namespace panelflow
