// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Loads and added masses": a non-modal window with the table of the loads that the menu item
// computed (results/LoadsReport.h), selectable and copyable whole with its Copy button. A new
// solution does not change the numbers shown; the window then says they belong to an earlier one.

#include <QWidget>

#include "model/BodyLoads.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace panelflow {

class LoadsWindow : public QWidget {
    Q_OBJECT
public:
    explicit LoadsWindow(QWidget* parent = nullptr);

    // Shows `loads` as those of the current solution.
    void Show(const BodyLoads& loads);
    // Says that the numbers shown belong to an earlier solution.
    void MarkEarlier();

    void Loads_Copy_Click();

private:
    QLabel* Loads_Note = nullptr;
    QPlainTextEdit* Loads_Table = nullptr;
    QPushButton* Loads_Copy = nullptr;
    QPushButton* Loads_Close = nullptr;
};

}  // namespace panelflow
