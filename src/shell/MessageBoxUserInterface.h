// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window's message sink: every message of the commands in a modal box with the text and one
// OK button, under the application's name as title, with the icon of its kind: an error for a
// refusal or failure, a warning for a suspect outcome, information for work done. The sentence
// that explains a failure stands beneath its text. Tests give the window a recording sink
// instead, so that no test ever waits on a box.

#include <QMessageBox>
#include <QWidget>

#include "commands/UserInterface.h"

namespace panelflow {

class MessageBoxUserInterface : public UserInterface {
public:
    // The box is centred on `parent` once it is set; before that it stands alone.
    void SetParent(QWidget* parent) { parent_ = parent; }
    void ShowMessage(const std::string& text) override;
    void ShowExplainedMessage(const std::string& text, const std::string& explanation) override;
    void ShowWarning(const std::string& text) override;
    void ShowInformation(const std::string& text) override;

private:
    void Show(QMessageBox::Icon icon, const std::string& text, const std::string& explanation = {});
    QWidget* parent_ = nullptr;
};

}  // namespace panelflow
