// SPDX-License-Identifier: GPL-3.0-or-later
// The three geometry commands: the sphere, a body profile file revolved about x, and a file of
// corner points. Each builds the new node grid and panels aside and checks them; only a geometry
// whose panels and sections are sound replaces the session's, so a refused command leaves the
// previous geometry, its solution, the results file and the NI text as they were.

#include <new>
#include <string>
#include <utility>

#include "base/PrintableText.h"
#include "commands/BodyWarnings.h"
#include "commands/Commands.h"
#include "commands/Refusal.h"
#include "geometry/BodyChecks.h"
#include "geometry/BodyOfRevolution.h"
#include "geometry/PanelGeometry.h"
#include "input/BodyProfileFile.h"
#include "input/CornerPointFile.h"
#include "model/PanelCounts.h"
#include "results/BodyReport.h"
#include "results/PanelReport.h"
#include "results/ResultsFile.h"

namespace panelflow {
namespace {

// Runs panel geometry on `model` (counts and node grid filled), refuses a degenerate panel,
// appends the sections (the profile and body-coordinate sections first when `profile` is given,
// then the panel report) and only then replaces the session's model (and profile) and sets the
// shell state of a new geometry. `source` names the file the grid came from ("" for a generated
// body); a degenerate panel's message then begins with it, so that the user knows which file to
// mend.
bool FinishGeometryCommand(Session& session, PanelModel&& model, BodyProfile* profile, UserInterface& ui,
                           Progress* progress, const std::string& source = {}) {
    ResultsTransaction transaction(session.shell.OutFile);
    // About 350 bytes of sections per panel and 45 per node, for the progress of the writing.
    const double expected = 350.0 * model.NI * model.NJ + (profile ? 45.0 * model.NI1 * model.NJ1 : 0.0);
    const auto watched = [progress, expected](ResultsAppender& out) {
        out.WatchProgress(progress, kStageResults, expected);
    };
    try {
        if (progress) progress->Report(kStagePanels, 0.0);
        const Status panels = BuildPanels(model);
        if (!panels)
            return Refuse(source.empty() ? panels : Status::Fail(PrintableText(source) + ": " + panels.message), nullptr, ui);
        Status written = Status::Ok();
        if (profile) {
            written = AppendSection(session.shell.OutFile,
                                    [&](ResultsAppender& out) { WriteProfileSection(*profile, model.NI1, out); });
            if (written)
                written = AppendSection(session.shell.OutFile, [&](ResultsAppender& out) {
                    watched(out);
                    WriteBodyCoordinatesSection(model, out);
                });
        }
        if (written)
            written = AppendSection(session.shell.OutFile, [&](ResultsAppender& out) {
                watched(out);
                WritePanelReport(model, out);
            });
        if (!written) return Refuse(written, &transaction, ui);
    } catch (const std::bad_alloc&) {
        return Refuse(OutOfMemory("The geometry", PanelModelBytes(model.NI, model.NJ)), &transaction, ui);
    } catch (const Cancelled&) {
        transaction.Rollback();
        return false;
    }
    if (progress) progress->Report(kStageChecks, 0.0);
    const std::string warning = BodyWarningText(CheckBody(model), model, profile, session.shell.OutFile);
    session.model = std::move(model);
    if (profile) session.profile = std::move(*profile);
    session.shell.GeometryReady = true;
    session.shell.DrawPanels = true;
    session.shell.DrawCpSurface = false;
    session.shell.SolutionReady = false;
    session.shell.ZeroPivotStep = 0;
    session.shell.BodyFile = source;
    session.solverUsed.clear();
    if (!warning.empty()) ui.ShowWarning(warning);
    return true;
}

}  // namespace

bool SphereCommand(Session& session, const std::string& niText, const std::string& njText, UserInterface& ui,
                   Progress* progress) {
    PanelModel model;
    Status counts = ReadPanelCount(niText, "NI", model.NI);
    if (counts) counts = ReadPanelCount(njText, "NJ", model.NJ);
    if (counts) counts = CheckGeometryFits(model.NI, model.NJ);
    if (!counts) return Refuse(counts, nullptr, ui);
    model.NI1 = model.NI + 1;
    model.NJ1 = model.NJ + 1;

    BodyProfile profile;
    try {
        if (progress) progress->Report(kStageBody, 0.0);
        SphereProfile(model.NI, profile);
        BuildBodyOfRevolution(profile, model);
    } catch (const std::bad_alloc&) {
        return Refuse(OutOfMemory("The geometry", PanelModelBytes(model.NI, model.NJ)), nullptr, ui);
    }
    return FinishGeometryCommand(session, std::move(model), &profile, ui, progress);
}

bool ProfileFileCommand(Session& session, const std::string& path, std::string& niText,
                        const std::string& njText, UserInterface& ui, Progress* progress) {
    // The NI text only decides whether the text is rewritten: the file's point count replaces
    // any NI that differs from it, so a text that is no count is simply replaced, not refused.
    int textNI = 0;
    if (!ReadPanelCount(niText, "NI", textNI)) textNI = 0;
    PanelModel model;
    Status status = ReadPanelCount(njText, "NJ", model.NJ);
    // An NJ whose geometry does not fit even with one row of panels is the NJ text's fault,
    // whatever the file holds.
    if (status && !CheckGeometryFits(1, model.NJ)) status = Status::Fail("NJ = " + PrintableText(njText) + " is too large: " +
                                                                         CheckGeometryFits(1, model.NJ).message);
    if (!status) return Refuse(status, nullptr, ui);

    // The reader refuses a point count whose geometry would not fit before it allocates.
    BodyProfile profile;
    try {
        if (progress) progress->Report(kStageReading, 0.0);
        status = ReadBodyProfile(path, model.NJ, profile);
        if (!status) return Refuse(status, nullptr, ui);

        // The file's points decide the rows: NI = NP - 1 whatever the text said.
        model.NI1 = static_cast<int>(profile.xI.upper());
        model.NI = model.NI1 - 1;
        model.NJ1 = model.NJ + 1;
        if (progress) progress->Report(kStageBody, 0.0);
        BuildBodyOfRevolution(profile, model);
    } catch (const std::bad_alloc&) {
        return Refuse(OutOfMemory("The geometry of " + PrintableText(path), PanelModelBytes(model.NI, model.NJ)), nullptr, ui);
    }
    const int NI = model.NI;
    if (!FinishGeometryCommand(session, std::move(model), &profile, ui, progress, path)) return false;

    session.shell.ProfileFile = path;
    if (NI != textNI) niText = CountText(NI);
    return true;
}

bool CornerFileCommand(Session& session, const std::string& path, UserInterface& ui, Progress* progress) {
    PanelModel model;
    Status status;
    try {
        if (progress) progress->Report(kStageReading, 0.0);
        status = ReadCornerPoints(path, model);
    } catch (const std::bad_alloc&) {
        status = OutOfMemory("The geometry of " + PrintableText(path), PanelModelBytes(model.NI, model.NJ));
    }
    if (!status) return Refuse(status, nullptr, ui);
    if (!FinishGeometryCommand(session, std::move(model), nullptr, ui, progress, path)) return false;
    session.shell.CornerFile = path;
    return true;
}

}  // namespace panelflow
