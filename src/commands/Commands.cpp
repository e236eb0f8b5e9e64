#include "commands/Commands.h"

#include <cmath>
#include <new>
#include <string>
#include <utility>

#include "base/PrintableText.h"
#include "commands/BodyWarnings.h"
#include "commands/GeometryCommand.h"
#include "commands/HessSolve.h"
#include "commands/Messages.h"
#include "geometry/BodyChecks.h"
#include "geometry/BodyOfRevolution.h"
#include "geometry/PanelGeometry.h"
#include "model/PanelCounts.h"
#include "results/BodyReport.h"
#include "results/PanelReport.h"
#include "results/ResultsFile.h"

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

bool FinishGeometry(Session& session, PanelModel&& model, BodyProfile* profile, UserInterface& ui,
                    const std::string& source) {
    const Status panels = BuildPanels(model);
    if (!panels) return Refuse(source.empty() ? panels : Status::Fail(PrintableText(source) + ": " + panels.message), nullptr, ui);

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

    const std::string warning = BodyWarningText(CheckBody(model), model, profile, session.shell.OutFile);
    session.model = std::move(model);
    if (profile) session.profile = std::move(*profile);
    session.shell.GeometryReady = true;
    session.shell.DrawPanels = true;
    session.shell.DrawCpSurface = false;
    if (!warning.empty()) ui.ShowWarning(warning);
    return true;
}

}  // namespace

bool StartCommand(Session& session, UserInterface& ui) {
    const Status started = StartResultsFile(session.shell.OutFile);
    if (!started) return Refuse(started, nullptr, ui);
    return true;
}

bool FinishGeometryCommand(Session& session, PanelModel&& model, BodyProfile* profile, UserInterface& ui,
                           const std::string& source) {
    ResultsTransaction transaction(session.shell.OutFile);
    const double bytes = PanelModelBytes(model.NI, model.NJ);
    try {
        return FinishGeometry(session, std::move(model), profile, ui, source);
    } catch (const std::bad_alloc&) {
        return Refuse(OutOfMemory("The geometry", bytes), &transaction, ui);
    }
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
    try {
        SphereProfile(model.NI, profile);
        BuildBodyOfRevolution(profile, model);
    } catch (const std::bad_alloc&) {
        return Refuse(OutOfMemory("The geometry", PanelModelBytes(model.NI, model.NJ)), nullptr, ui);
    }
    return FinishGeometryCommand(session, std::move(model), &profile, ui);
}

HessCommandResult HessCommand(Session& session, UserInterface& ui, Progress* progress) {
    if (!session.shell.GeometryReady) {
        ui.ShowMessage(std::string(kNoGeometryMessage));
        return {};
    }
    const Status fits = CheckProblemFits(session.model.NI, session.model.NJ);
    if (!fits) return {Refuse(fits, nullptr, ui)};

    const FreeStream vinf = kUnitStreamAlongX;
    ResultsTransaction transaction(session.shell.OutFile);
    HessOutcome outcome;
    try {
        outcome = HessSolve(session.model, vinf, session.solution, session.shell.OutFile, progress);
    } catch (const std::bad_alloc&) {
        const double bytes = InfluenceMatrixBytes(session.model.NI, session.model.NJ);
        return {Refuse(OutOfMemory("The solution", bytes), &transaction, ui)};
    }
    if (!outcome.status) return {Refuse(outcome.status, &transaction, ui)};
    session.vinf = vinf;
    if (outcome.zeroPivot) ui.ShowMessage(std::string(kZeroPivotMessage));
    session.shell.DrawPanels = true;
    session.shell.DrawCpSurface = true;
    return {true, outcome.zeroPivot};
}

}  // namespace panelflow
