// SPDX-License-Identifier: GPL-3.0-or-later
// The three geometry commands: the sphere, a body profile file revolved about x, and a file of
// corner points. Each builds the new body aside and checks it (BuiltBody.h); only a body whose
// panels and sections are sound replaces the session's, so a refused command leaves the previous
// geometry, its solution, the results file and the NI text as they were.

#include <new>
#include <string>
#include <utility>

#include "commands/BuiltBody.h"
#include "commands/Commands.h"
#include "commands/Refusal.h"
#include "input/FieldReader.h"
#include "model/PanelCounts.h"
#include "results/ResultsFile.h"

namespace panelflow {
namespace {

// Refuses the command with the builder's refusal, or appends the sections of the body built and
// only then makes it the session's and sets the shell state of a new geometry.
bool FinishGeometryCommand(Session& session, const Status& built, BuiltBody&& body, UserInterface& ui,
                           Progress* progress) {
    if (!built) return Refuse(built, nullptr, ui);
    ResultsTransaction transaction(session.shell.OutFile);
    try {
        const Status written = AppendBodySections(body, session.shell.OutFile, progress);
        if (!written) return Refuse(written, &transaction, ui);
    } catch (const std::bad_alloc&) {
        return Refuse(OutOfMemory("The geometry", PanelModelBytes(body.model.NI, body.model.NJ)), &transaction, ui);
    } catch (const Cancelled&) {
        transaction.Rollback();
        return false;
    }
    if (progress) progress->Report(kStageChecks, 0.0);
    const std::string warning = BodyWarning(body, session.shell.OutFile);
    session.shell.BodyFile = body.source;
    session.model = std::move(body.model);
    if (body.revolved) session.profile = std::move(body.profile);
    session.shell.GeometryReady = true;
    session.shell.DrawPanels = true;
    session.shell.DrawCpSurface = false;
    session.shell.SolutionReady = false;
    session.shell.ZeroPivotStep = 0;
    session.solverUsed.clear();
    if (!warning.empty()) ui.ShowWarning(warning);
    return true;
}

}  // namespace

bool SphereCommand(Session& session, const std::string& niText, const std::string& njText, UserInterface& ui,
                   Progress* progress) {
    BuiltBody body;
    const Status built = BuildSphereBody(niText, njText, body, progress);
    return FinishGeometryCommand(session, built, std::move(body), ui, progress);
}

bool ProfileFileCommand(Session& session, const std::string& path, std::string& niText,
                        const std::string& njText, UserInterface& ui, Progress* progress) {
    // The NI text only decides whether the text is rewritten: the file's point count replaces
    // any NI that differs from it, so a text that is no count is simply replaced, not refused.
    int textNI = 0;
    if (!ReadPanelCount(niText, "NI", textNI)) textNI = 0;
    BuiltBody body;
    const Status built = BuildProfileFileBody(path, njText, body, progress);
    const int NI = body.model.NI;
    if (!FinishGeometryCommand(session, built, std::move(body), ui, progress)) return false;
    session.shell.ProfileFile = path;
    if (NI != textNI) niText = CountText(NI);
    return true;
}

bool CornerFileCommand(Session& session, const std::string& path, UserInterface& ui, Progress* progress) {
    BuiltBody body;
    const Status built = BuildCornerFileBody(path, body, progress);
    if (!FinishGeometryCommand(session, built, std::move(body), ui, progress)) return false;
    session.shell.CornerFile = path;
    return true;
}

}  // namespace panelflow
