// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window's menu "Results": "Plot 1 − Cp along the body" opens the plot window, "Export
// surface…" a save dialog offering the CSV and VTK formats, "Loads and added masses…" computes
// them and shows their table (LoadsWindow.h), "Flow field…" opens the dialog that writes the flow
// off the body (FieldDialog.h). These items are enabled only while a solution of the current
// geometry exists; the window calls ShowSolution() after every command and SetBusy() while one
// runs. An export is confirmed; after a failure (its message shown) the dialog opens again with
// the name and format that failed. The check item "Write coefficient tables" (on at start, kept
// while the window lives) says whether the Hess command appends the three coefficient tables;
// without them a body of revolution is solved through its symmetry.

#include <QObject>
#include <functional>

#include "base/Progress.h"
#include "commands/Session.h"
#include "commands/UserInterface.h"

class QAction;
class QFileDialog;
class QMenu;
class QMenuBar;
class QWidget;

namespace panelflow {

class FieldDialog;
class LoadsWindow;
class PlotWindow;

class ResultsMenu : public QObject {
    Q_OBJECT
public:
    // Runs a command beside the window (the window's worker), as the window runs its own.
    using Command = std::function<bool(UserInterface& ui, Progress& progress)>;
    // `done` runs on the window's thread afterwards, told whether the command succeeded.
    using Runner = std::function<void(Command command, std::function<void(bool)> done)>;

    // Adds the menu at the end of `bar`; `window` is the plot window's and the dialog's owner,
    // `run` runs the exports, the loads and the flow field, which take seconds at a million panels.
    ResultsMenu(QMenuBar* bar, const Session& session, UserInterface& ui, QWidget* window, Runner run);

    // Enables or disables the items for the session as it stands and redraws an open plot.
    void ShowSolution();
    // Keeps the plot window from reading the session while a command changes it.
    void SetBusy(bool busy);

    void Mn_Plot_Click();
    void Mn_Export_Click();
    void Mn_Loads_Click();
    void Mn_Field_Click();
    // What the export dialog does with the file chosen in it.
    void ExportDialog_FileSelected(const QString& path);

    PlotWindow* plotWindow() const { return plot_; }
    LoadsWindow* loadsWindow() const { return loads_; }
    FieldDialog* fieldDialog() const { return field_; }
    // Whether "Write coefficient tables" is checked.
    bool WriteTables() const;

private:
    void RunKeepingSolution(Command command, std::function<void(bool)> done);

    const Session& session_;
    UserInterface& ui_;
    QWidget* window_;
    Runner run_;
    QMenu* Mn_Results = nullptr;
    QAction* Mn_Plot = nullptr;
    QAction* Mn_Export = nullptr;
    QAction* Mn_Loads = nullptr;
    QAction* Mn_Field = nullptr;
    QAction* Mn_WriteTables = nullptr;
    PlotWindow* plot_ = nullptr;
    LoadsWindow* loads_ = nullptr;
    FieldDialog* field_ = nullptr;
    QFileDialog* exportDialog_ = nullptr;
    bool solutionKept_ = false;  // the command ending now was this menu's own
};

}  // namespace panelflow
