#pragma once
// The window's message sink: every message of the commands in a modal box with the text and one
// OK button, under the application's name as title. Tests give the window a recording sink
// instead, so that no test ever waits on a box.

#include <QWidget>

#include "commands/UserInterface.h"

namespace panelflow {

class MessageBoxUserInterface : public UserInterface {
public:
    // The box is centred on `parent` once it is set; before that it stands alone.
    void SetParent(QWidget* parent) { parent_ = parent; }
    void ShowMessage(const std::string& text) override;

private:
    QWidget* parent_ = nullptr;
};

}  // namespace panelflow
