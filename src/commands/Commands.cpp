// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/Commands.h"

#include <new>
#include <string>
#include <utility>

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
        ui.ShowExplainedMessage(std::string(kNoGeometryMessage), std::string(kNoGeometryExplanation));
        return {};
    }
    const PanelModel& model = session.model;
    SolverPlan plan;
    if (const Status planned = PlanSolver(model, settings, plan); !planned)
        return {Refuse(planned, nullptr, ui), false, planned.fault == Fault::Memory ? plan.choice.Text() : std::string()};

    ResultsTransaction transaction(session.shell.OutFile);
    HessOutcome outcome;
    SurfaceSolution solution;
    try {
        outcome = HessSolve(model, vinf, solution, session.shell.OutFile, progress, settings);
    } catch (const std::bad_alloc&) {
        return {Refuse(plan.MemoryRefusal(), &transaction, ui), false, plan.choice.Text()};
    } catch (const Cancelled&) {
        transaction.Rollback();
        return {false, false, plan.choice.Text()};
    }
    if (!outcome.status) return {Refuse(outcome.status, &transaction, ui), false, outcome.choice.Text()};
    session.vinf = vinf;
    session.solverUsed = outcome.choice.Text();
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
        return {true, true, outcome.choice.Text()};
    }
    session.solution = std::move(solution);
    session.shell.DrawCpSurface = true;
    session.shell.SolutionReady = true;
    return {true, false, outcome.choice.Text()};
}

}  // namespace panelflow
