#pragma once
// The window's menu "Results": "Plot 1 − Cp along the body" opens the plot window, "Export
// surface…" a save dialog offering the CSV and VTK formats. Both items are enabled only while a
// solution of the current geometry exists; the window calls ShowSolution() after every command
// and SetBusy() while one runs. An export is confirmed; after a failure (its message shown) the
// dialog opens again with the name and format that failed.

#include <QObject>

#include "commands/Session.h"
#include "commands/UserInterface.h"

class QAction;
class QFileDialog;
class QMenu;
class QMenuBar;
class QWidget;

namespace panelflow {

class PlotWindow;

class ResultsMenu : public QObject {
    Q_OBJECT
public:
    // Adds the menu at the end of `bar`; `window` is the plot window's and the dialog's owner.
    ResultsMenu(QMenuBar* bar, const Session& session, UserInterface& ui, QWidget* window);

    // Enables or disables the items for the session as it stands and redraws an open plot.
    void ShowSolution();
    // Keeps the plot window from reading the session while a command changes it.
    void SetBusy(bool busy);

    void Mn_Plot_Click();
    void Mn_Export_Click();
    // What the export dialog does with the file chosen in it.
    void ExportDialog_FileSelected(const QString& path);

    PlotWindow* plotWindow() const { return plot_; }

private:
    const Session& session_;
    UserInterface& ui_;
    QWidget* window_;
    QMenu* Mn_Results = nullptr;
    QAction* Mn_Plot = nullptr;
    QAction* Mn_Export = nullptr;
    PlotWindow* plot_ = nullptr;
    QFileDialog* exportDialog_ = nullptr;
};

}  // namespace panelflow
