#include "common/Commands.h"

#include <cmath>
#include <string>
#include <utility>

#include "common/GeometryCommand.h"
#include "common/PanelCounts.h"
#include "common/ResultsFile.h"
#include "geometry/BodyOfRevolution.h"
#include "panels/PanelGeometry.h"
#include "panels/PanelReport.h"
#include "solver/GaussSolve.h"

namespace panelflow {
namespace {

// Refuses the command with `status`'s message: the results file is cut back to its length at
// the command's start, the message shown.
bool Refuse(const Status& status, ResultsTransaction* transaction, UserInterface& ui) {
    if (transaction) transaction->Rollback();
    ui.ShowMessage(status.message);
    return false;
}

// Appends one section through `write`, opening and closing the file around it.
template <class Writer>
Status AppendSection(const std::string& path, Writer&& write) {
    ResultsAppender out(path);
    if (!out.failed()) write(out);
    return out.Close();
}

}  // namespace

bool StartCommand(Session& session, UserInterface& ui) {
    const Status started = StartResultsFile(session.shell.OutFile);
    if (!started) return Refuse(started, nullptr, ui);
    return true;
}

bool FinishGeometryCommand(Session& session, PanelModel&& model, BodyProfile* profile, UserInterface& ui,
                           const std::string& source) {
    const Status panels = BuildPanels(model);
    if (!panels) return Refuse(source.empty() ? panels : Status::Fail(source + ": " + panels.message), nullptr, ui);

    ResultsTransaction transaction(session.shell.OutFile);
    if (profile) {
        Status written = AppendSection(session.shell.OutFile,
                                       [&](ResultsAppender& out) { WriteProfileSection(*profile, model.NI1, out); });
        if (written)
            written = AppendSection(session.shell.OutFile,
                                    [&](ResultsAppender& out) { WriteBodyCoordinatesSection(model, out); });
        if (!written) return Refuse(written, &transaction, ui);
    }
    const Status report =
        AppendSection(session.shell.OutFile, [&](ResultsAppender& out) { WritePanelReport(model, out); });
    if (!report) return Refuse(report, &transaction, ui);

    session.model = std::move(model);
    if (profile) session.profile = std::move(*profile);
    session.shell.GeometryReady = true;
    session.shell.DrawPanels = true;
    session.shell.DrawCpSurface = false;
    return true;
}

bool SphereCommand(Session& session, const std::string& niText, const std::string& njText, UserInterface& ui) {
    PanelModel model;
    Status counts = ReadPanelCount(niText, "NI", model.NI);
    if (counts) counts = ReadPanelCount(njText, "NJ", model.NJ);
    if (counts) counts = CheckProblemFits(model.NI, model.NJ);
    if (!counts) return Refuse(counts, nullptr, ui);
    model.NI1 = model.NI + 1;
    model.NJ1 = model.NJ + 1;

    BodyProfile profile;
    SphereProfile(model.NI, profile);
    BuildBodyOfRevolution(profile, model);
    return FinishGeometryCommand(session, std::move(model), &profile, ui);
}

bool HessCommand(Session& session, UserInterface& ui, Progress* progress) {
    if (!session.shell.GeometryReady) {
        ui.ShowMessage(std::string(kNoGeometryMessage));
        return false;
    }
    const Status fits = CheckProblemFits(session.model.NI, session.model.NJ);
    if (!fits) return Refuse(fits, nullptr, ui);

    // The previous solution's matrices are dropped before the new ones are allocated, so that
    // memory never holds two sets; its small per-panel results are kept in case this run fails.
    Solution previous;
    previous.N = session.solution.N;
    previous.SigmaVec = std::move(session.solution.SigmaVec);
    previous.Sigma = std::move(session.solution.Sigma);
    previous.OneMinusCp = std::move(session.solution.OneMinusCp);
    session.solution = Solution{};

    const FreeStream vinf{1.0, 0.0, 0.0};
    ResultsTransaction transaction(session.shell.OutFile);
    const HessOutcome outcome = HessSolve(session.model, vinf, session.solution, session.shell.OutFile, progress);
    if (!outcome.status) {
        session.solution = std::move(previous);
        return Refuse(outcome.status, &transaction, ui);
    }
    session.vinf = vinf;
    if (outcome.zeroPivot) ui.ShowMessage(std::string(kZeroPivotMessage));
    session.shell.DrawPanels = true;
    session.shell.DrawCpSurface = true;
    return true;
}

}  // namespace panelflow
