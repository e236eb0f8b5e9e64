// The two geometry commands that read a file: a body profile revolved about x, and a grid of
// corner points. Each reads and checks the whole file into a model built aside; only a
// geometry that FinishGeometryCommand accepts replaces the session's, so a refused file leaves
// the previous geometry, its solution, the results file and the NI text as they were.

#include <new>
#include <string>
#include <utility>

#include "base/PrintableText.h"
#include "commands/Commands.h"
#include "commands/GeometryCommand.h"
#include "model/PanelCounts.h"
#include "geometry/BodyOfRevolution.h"
#include "input/BodyProfileFile.h"
#include "input/CornerPointFile.h"

namespace panelflow {
namespace {

bool Refuse(const Status& status, UserInterface& ui) {
    ui.ShowMessage(status.message);
    return false;
}

}  // namespace

bool ProfileFileCommand(Session& session, const std::string& path, std::string& niText,
                        const std::string& njText, UserInterface& ui) {
    // The NI text only decides whether the text is rewritten: the file's point count replaces
    // any NI that differs from it, so a text that is no count is simply replaced, not refused.
    int textNI = 0;
    if (!ReadPanelCount(niText, "NI", textNI)) textNI = 0;
    PanelModel model;
    Status status = ReadPanelCount(njText, "NJ", model.NJ);
    if (!status) return Refuse(status, ui);

    // The reader refuses a point count whose problem would not fit before it allocates.
    BodyProfile profile;
    try {
        status = ReadBodyProfile(path, model.NJ, profile);
        if (!status) return Refuse(status, ui);

        // The file's points decide the rows: NI = NP - 1 whatever the text said.
        model.NI1 = static_cast<int>(profile.xI.upper());
        model.NI = model.NI1 - 1;
        model.NJ1 = model.NJ + 1;
        BuildBodyOfRevolution(profile, model);
    } catch (const std::bad_alloc&) {
        return Refuse(OutOfMemory("The geometry of " + PrintableText(path), PanelModelBytes(model.NI, model.NJ)), ui);
    }
    const int NI = model.NI;
    if (!FinishGeometryCommand(session, std::move(model), &profile, ui, path)) return false;

    session.shell.ProfileFile = path;
    if (NI != textNI) niText = CountText(NI);
    return true;
}

bool CornerFileCommand(Session& session, const std::string& path, UserInterface& ui) {
    PanelModel model;
    Status status;
    try {
        status = ReadCornerPoints(path, model);
    } catch (const std::bad_alloc&) {
        status = OutOfMemory("The geometry of " + PrintableText(path), PanelModelBytes(model.NI, model.NJ));
    }
    if (!status) return Refuse(status, ui);
    if (!FinishGeometryCommand(session, std::move(model), nullptr, ui, path)) return false;
    session.shell.CornerFile = path;
    return true;
}

}  // namespace panelflow
