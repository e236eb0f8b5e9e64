#pragma once
// What the commands need of the user's side: a message that the user must acknowledge (a modal
// box with one OK button in the window, a line on standard error in the batch program), and a
// warning after a command that completed. Tests record the messages; nothing blocks.

#include <string>

namespace panelflow {

class UserInterface {
public:
    virtual ~UserInterface() = default;
    // Shows the text and returns when the user has acknowledged it.
    virtual void ShowMessage(const std::string& text) = 0;
    // Tells the user that a command completed but its outcome is suspect (a body that cannot be
    // right). Shown like a message unless the interface marks warnings apart.
    virtual void ShowWarning(const std::string& text) { ShowMessage(text); }
};

}  // namespace panelflow
