// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the commands need of the user's side: a message that the user must acknowledge (a modal
// box with one OK button in the window, a line on standard error in the batch program), and a
// warning after a command that completed. Tests record the messages; nothing blocks.
//
// Every kind but ShowMessage has a default that shows it as a plain message, so an interface
// that makes no difference between them (a recorder, a printer) overrides ShowMessage alone.

#include <string>

namespace panelflow {

class UserInterface {
public:
    virtual ~UserInterface() = default;
    // Shows the text of a refusal or failure and returns when the user has acknowledged it.
    virtual void ShowMessage(const std::string& text) = 0;
    // A failure whose text stays as the program has always shown it (the two Turkish messages),
    // with one sentence beneath it that says what happened and what to do.
    virtual void ShowExplainedMessage(const std::string& text, const std::string& explanation) {
        ShowMessage(text + '\n' + explanation);
    }
    // Tells the user that a command completed but its outcome is suspect (a body that cannot be
    // right).
    virtual void ShowWarning(const std::string& text) { ShowMessage(text); }
    // Tells the user that what they asked for has been done (a file saved).
    virtual void ShowInformation(const std::string& text) { ShowMessage(text); }
};

}  // namespace panelflow
