#include "commands/ExportCommand.h"

#include <new>

#include "results/SurfaceExport.h"

namespace panelflow {

bool ExportSurfaceCommand(const Session& session, const std::string& path, SurfaceFormat format, UserInterface& ui) {
    if (!session.shell.SolutionReady) {
        ui.ShowMessage(std::string(kNoSolutionMessage));
        return false;
    }
    Status written;
    try {
        written = format == SurfaceFormat::Csv ? WriteSurfaceCsv(session.model, session.solution, path)
                                               : WriteSurfaceVtp(session.model, session.solution, path);
    } catch (const std::bad_alloc&) {
        written = Status::Fail("The file " + path + " cannot be made: there is not enough memory; nothing was written.");
    }
    if (!written) ui.ShowMessage(written.message);
    return written.ok;
}

}  // namespace panelflow
