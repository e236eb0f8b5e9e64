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
    Status written;
    try {
        written = ExportSurface(session.model, session.solution, path, format, {session.shell.OutFile, progress});
    } catch (const Cancelled&) {
        return false;
    }
    if (!written) ui.ShowMessage(written.message);
    return written.ok;
}

Status ExportSurface(const PanelModel& model, const SurfaceSolution& solution, const std::string& path,
                     SurfaceFormat format, const WholeFileGuard& guard) {
    try {
        ThrowIfStopRequested(guard.progress);
        return format == SurfaceFormat::Csv ? WriteSurfaceCsv(model, solution, path, guard)
                                            : WriteSurfaceVtp(model, solution, path, guard);
    } catch (const std::bad_alloc&) {
        return Status::Fail("The file " + PrintableText(path) +
                                " cannot be made: there is not enough memory; nothing was written.",
                            Fault::Memory);
    }
}

}  // namespace panelflow
