#pragma once
// The common second half of every geometry command, shared by the sphere, profile-file and
// corner-point commands once they have built a new node grid aside.

#include <string>

#include "commands/Session.h"
#include "commands/UserInterface.h"

namespace panelflow {

// Runs panel geometry on `model` (counts and node grid filled), refuses a degenerate panel,
// appends the sections (the profile and body-coordinate sections first when `profile` is given,
// then the panel report) and only then replaces the session's model (and profile) and sets the
// shell state of a new geometry: GeometryReady, DrawPanels on, DrawCpSurface off. On any
// failure it shows the message, cuts the results file back and leaves the session untouched.
// `source` names the file the grid came from ("" for a generated body); a degenerate panel's
// message then begins with it, so that the user knows which file to mend.
bool FinishGeometryCommand(Session& session, PanelModel&& model, BodyProfile* profile, UserInterface& ui,
                           const std::string& source = {});

}  // namespace panelflow
