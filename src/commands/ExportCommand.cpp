// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/ExportCommand.h"

#include <new>

#include "base/PrintableText.h"
#include "results/SurfaceExport.h"

namespace panelflow {

bool ExportSurfaceCommand(const Session& session, const std::string& path, SurfaceFormat format, UserInterface& ui,
                          Progress* progress) {
    if (!session.shell.SolutionReady) {
        ui.ShowMessage(std::string(kNoSolutionMessage));
        return false;
    }
    const WholeFileGuard guard{session.shell.OutFile, progress};
    Status written;
    try {
        ThrowIfStopRequested(progress);
        written = format == SurfaceFormat::Csv ? WriteSurfaceCsv(session.model, session.solution, path, guard)
                                               : WriteSurfaceVtp(session.model, session.solution, path, guard);
    } catch (const std::bad_alloc&) {
        written = Status::Fail("The file " + PrintableText(path) +
                               " cannot be made: there is not enough memory; nothing was written.");
    } catch (const Cancelled&) {
        return false;
    }
    if (!written) ui.ShowMessage(written.message);
    return written.ok;
}

}  // namespace panelflow
