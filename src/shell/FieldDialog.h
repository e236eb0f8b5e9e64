// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Flow field…": a non-modal dialog that asks where the flow off the body is wanted (a box grid
// as X0:X1:NX,Y0:Y1:NY,Z0:Z1:NZ, offered around the body, or a points file) and the file it goes
// to (.vts for a box, .csv for either), then runs the flow-field command (commands/
// FieldCommand.h) beside the window. Refusals come as the window's messages; what was written is
// said in the dialog itself.

#include <QDialog>
#include <functional>

#include "base/Progress.h"
#include "commands/Session.h"
#include "commands/UserInterface.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace panelflow {

class FieldDialog : public QDialog {
    Q_OBJECT
public:
    using Command = std::function<bool(UserInterface& ui, Progress& progress)>;
    // Runs a command beside the window; `then` follows on the window's thread with its outcome.
    using Runner = std::function<void(Command command, std::function<void(bool done)> then)>;

    FieldDialog(const Session& session, Runner run, QWidget* parent = nullptr);

    // Offers a box around the current body where the box text is empty or still the one offered.
    void Refresh();

    void Field_Write_Click();
    void Field_BrowsePoints_Click();
    void Field_BrowseOutput_Click();

private:
    const Session& session_;
    Runner run_;
    QString offeredBox_;
    QRadioButton* Field_Box = nullptr;
    QLineEdit* Field_BoxText = nullptr;
    QRadioButton* Field_Points = nullptr;
    QLineEdit* Field_PointsFile = nullptr;
    QPushButton* Field_BrowsePoints = nullptr;
    QLineEdit* Field_Output = nullptr;
    QPushButton* Field_BrowseOutput = nullptr;
    QLabel* Field_Status = nullptr;
    QPushButton* Field_Write = nullptr;
    QPushButton* Field_Close = nullptr;
};

}  // namespace panelflow
