// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The user's commands, free of any toolkit, shared by the window and the batch program.
//
// Every command is all-or-nothing: it checks its inputs and builds the new state aside, writes
// its results-file sections, and only then replaces the session's state. A refused command (bad
// counts, a bad file, a degenerate panel, a results file that cannot be written, memory that
// cannot be had) shows one message through `ui`, leaves the session exactly as it was, cuts the
// results file back to its length before the command, and returns false. A command whose
// `progress` asks to stop (see base/Progress.h) is undone the same way, without a message.

#include <string>

#include "base/Progress.h"
#include "commands/HessSolve.h"
#include "commands/Session.h"
#include "commands/UserInterface.h"

namespace panelflow {

// Starts the session's results file empty (program start).
bool StartCommand(Session& session, UserInterface& ui);

// "Calculate sphere coordinates": NI from niText, NJ from njText, a sphere of diameter 1.
bool SphereCommand(Session& session, const std::string& niText, const std::string& njText, UserInterface& ui,
                   Progress* progress = nullptr);

// A body profile file revolved about x. niText is the NI box's text: when the file's point
// count differs from NI + 1, NI becomes that count - 1 and niText is replaced by it.
bool ProfileFileCommand(Session& session, const std::string& path, std::string& niText,
                        const std::string& njText, UserInterface& ui, Progress* progress = nullptr);

// A corner-point file: the counts and the node grid come from the file.
bool CornerFileCommand(Session& session, const std::string& path, UserInterface& ui, Progress* progress = nullptr);

// What the Hess command did: done (true) or refused; a zero pivot still counts as done.
// `solverUsed` says which solver solved and why ("dense: coefficient tables written"), once one
// was chosen.
struct HessCommandResult {
    bool done = false;
    bool zeroPivot = false;
    std::string solverUsed;
    explicit operator bool() const { return done; }
};

// "Apply Hess panel method" with the free stream `vinf` (the window's is (1, 0, 0) until the
// user sets another) and the settings (coefficient tables, a forced solver); the memory check
// weighs the solver chosen, whose name and reason the session keeps (`solverUsed`). Without a geometry it shows "Geometriyi hazırla", with a sentence that says
// what to do, and changes nothing. A zero pivot shows " sıfır diyagonal elemanı" with a sentence
// naming the step: the sections are still written, with zero strengths, and the command counts as
// done, but it keeps no solution (no net to draw, nothing to plot or export).
HessCommandResult HessCommand(Session& session, UserInterface& ui, Progress* progress = nullptr,
                              const FreeStream& vinf = kUnitStreamAlongX, const HessSettings& settings = {});

}  // namespace panelflow
