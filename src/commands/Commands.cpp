#include "commands/Commands.h"

#include <new>
#include <string>
#include <utility>

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
        ui.ShowExplainedMessage(std::string(kNoGeometryMessage), std::string(kNoGeometryExplanation));
        return {};
    }
    const Status fits = CheckProblemFits(session.model.NI, session.model.NJ);
    if (!fits) return {Refuse(fits, nullptr, ui)};

    ResultsTransaction transaction(session.shell.OutFile);
    HessOutcome outcome;
    SurfaceSolution solution;
    try {
        outcome = HessSolve(session.model, vinf, solution, session.shell.OutFile, progress);
    } catch (const std::bad_alloc&) {
        const double bytes = InfluenceMatrixBytes(session.model.NI, session.model.NJ);
        return {Refuse(OutOfMemory("The solution", bytes), &transaction, ui)};
    } catch (const Cancelled&) {
        transaction.Rollback();
        return {};
    }
    if (!outcome.status) return {Refuse(outcome.status, &transaction, ui)};
    session.vinf = vinf;
    session.solverUsed = kDenseSolverName;
    session.shell.DrawPanels = true;
    session.shell.ZeroPivotStep = outcome.pivotStep;
    if (outcome.zeroPivot) {
        // Zero strengths are no answer: the sections stay as written, but nothing is kept that
        // would show the free stream alone as if it were the flow around the body.
        session.solution = SurfaceSolution{};
        session.shell.DrawCpSurface = false;
        session.shell.SolutionReady = false;
        ui.ShowExplainedMessage(std::string(kZeroPivotMessage),
                                ZeroPivotExplanation(outcome.pivotStep, session.model.PanelCount()));
        return {true, true};
    }
    session.solution = std::move(solution);
    session.shell.DrawCpSurface = true;
    session.shell.SolutionReady = true;
    return {true, false};
}

}  // namespace panelflow
