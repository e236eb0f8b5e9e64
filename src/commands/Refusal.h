// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Internal to the commands: how a command refuses.

#include "base/Status.h"
#include "commands/UserInterface.h"
#include "results/ResultsFile.h"

namespace panelflow {

// Refuses the command with `status`'s message: the results file is cut back to its length at
// the command's start (when a transaction is given), the message shown. Returns false.
inline bool Refuse(const Status& status, ResultsTransaction* transaction, UserInterface& ui) {
    if (transaction) transaction->Rollback();
    ui.ShowMessage(status.message);
    return false;
}

}  // namespace panelflow
