#include "commands/ExportCommand.h"

#include <new>

#include "results/SurfaceExport.h"

namespace panelflow {

bool ExportSurfaceCommand(const Session& session, const std::string& path, SurfaceFormat format, UserInterface& ui) {
    if (!session.shell.SolutionReady) {
        ui.ShowMessage(std::string(kNoSolutionMessage));
        return false;
    }
    const Status written = ExportSurface(session.model, session.solution, path, format);
    if (!written) ui.ShowMessage(written.message);
    return written.ok;
}

Status ExportSurface(const PanelModel& model, const SurfaceSolution& solution, const std::string& path,
                     SurfaceFormat format) {
    try {
        return format == SurfaceFormat::Csv ? WriteSurfaceCsv(model, solution, path)
                                            : WriteSurfaceVtp(model, solution, path);
    } catch (const std::bad_alloc&) {
        return Status::Fail("The file " + path + " cannot be made: there is not enough memory; nothing was written.",
                            Fault::Memory);
    }
}

}  // namespace panelflow
