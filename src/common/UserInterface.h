#pragma once
// What the commands need of the user's side: a message that the user must acknowledge (a modal
// box with one OK button in the window, a line on standard error in the batch program), and
// progress of a long step. Tests record both; nothing blocks.

#include <string>
#include <string_view>

namespace panelflow {

class UserInterface {
public:
    virtual ~UserInterface() = default;
    // Shows the text and returns when the user has acknowledged it.
    virtual void ShowMessage(const std::string& text) = 0;
};

// Progress of a long computation: stage is a short name ("assembly", "elimination",
// "report"), fraction runs from 0 to 1. Called from the computing thread only, at most a few
// hundred times per stage, so an implementation may do a little I/O.
class Progress {
public:
    virtual ~Progress() = default;
    virtual void Report(std::string_view stage, double fraction) = 0;
};

}  // namespace panelflow
