// SPDX-License-Identifier: GPL-3.0-or-later
#include "ResultsMenu.h"

#include <QAction>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <memory>
#include <string>

#include "FieldDialog.h"
#include "LoadsWindow.h"
#include "PlotWindow.h"
#include "commands/ExportCommand.h"
#include "commands/LoadsCommand.h"

namespace panelflow {
namespace {

constexpr const char* kCsvFilter = "CSV table, one row per panel (*.csv)";
constexpr const char* kVtkFilter = "VTK PolyData for ParaView (*.vtp)";

}  // namespace

ResultsMenu::ResultsMenu(QMenuBar* bar, const Session& session, UserInterface& ui, QWidget* window, Runner run)
    : QObject(window), session_(session), ui_(ui), window_(window), run_(std::move(run)) {
    Mn_Results = bar->addMenu("Results");
    Mn_Results->setObjectName("Mn_Results");
    Mn_Plot = Mn_Results->addAction("Plot 1 − Cp along the body");
    Mn_Plot->setObjectName("Mn_Plot");
    Mn_Export = Mn_Results->addAction("Export surface…");
    Mn_Export->setObjectName("Mn_Export");
    Mn_Loads = Mn_Results->addAction("Loads and added masses…");
    Mn_Loads->setObjectName("Mn_Loads");
    Mn_Field = Mn_Results->addAction("Flow field…");
    Mn_Field->setObjectName("Mn_Field");
    Mn_Results->addSeparator();
    Mn_WriteTables = Mn_Results->addAction("Write coefficient tables");
    Mn_WriteTables->setObjectName("Mn_WriteTables");
    Mn_WriteTables->setCheckable(true);
    Mn_WriteTables->setChecked(true);
    connect(Mn_Plot, &QAction::triggered, this, &ResultsMenu::Mn_Plot_Click);
    connect(Mn_Export, &QAction::triggered, this, &ResultsMenu::Mn_Export_Click);
    connect(Mn_Loads, &QAction::triggered, this, &ResultsMenu::Mn_Loads_Click);
    connect(Mn_Field, &QAction::triggered, this, &ResultsMenu::Mn_Field_Click);
    ShowSolution();
}

void ResultsMenu::ShowSolution() {
    const bool ready = session_.shell.SolutionReady;
    Mn_Plot->setEnabled(ready);
    Mn_Export->setEnabled(ready);
    Mn_Loads->setEnabled(ready);
    Mn_Field->setEnabled(ready);
    if (plot_ && plot_->isVisible()) plot_->Refresh();
    if (!solutionKept_) {
        if (loads_) loads_->MarkEarlier();
        if (field_) field_->Refresh();
    }
    solutionKept_ = false;
}

// The menu's own work (an export, the loads, the flow field) leaves the solution as it was, so
// the loads shown and the field dialog's state stay when it ends.
void ResultsMenu::RunKeepingSolution(Command command, std::function<void(bool)> done) {
    run_(std::move(command), [this, done = std::move(done)](bool succeeded) {
        solutionKept_ = true;
        done(succeeded);
    });
}

bool ResultsMenu::WriteTables() const { return Mn_WriteTables->isChecked(); }

void ResultsMenu::SetBusy(bool busy) {
    if (plot_) plot_->SetBusy(busy);
    if (field_) field_->setEnabled(!busy);
}

void ResultsMenu::Mn_Plot_Click() {
    if (!plot_) plot_ = new PlotWindow(session_, ui_, window_);
    plot_->Refresh();
    plot_->show();
    plot_->raise();
}

// The dialog is window-modal but does not block: the file arrives through fileSelected.
void ResultsMenu::Mn_Export_Click() {
    if (!exportDialog_) {
        exportDialog_ = new QFileDialog(window_, "Export surface");
        exportDialog_->setObjectName("ExportDialog");
        exportDialog_->setAcceptMode(QFileDialog::AcceptSave);
        exportDialog_->setOption(QFileDialog::DontUseNativeDialog);
        exportDialog_->setNameFilters({kCsvFilter, kVtkFilter});
        connect(exportDialog_, &QFileDialog::fileSelected, this, &ResultsMenu::ExportDialog_FileSelected);
    }
    exportDialog_->open();
}

// A name ending in .csv or .vtp says the format; any other gets the chosen filter's suffix.
void ResultsMenu::ExportDialog_FileSelected(const QString& chosen) {
    QString path = chosen;
    bool vtk = path.endsWith(".vtp", Qt::CaseInsensitive);
    if (!vtk && !path.endsWith(".csv", Qt::CaseInsensitive)) {
        vtk = exportDialog_ && exportDialog_->selectedNameFilter() == kVtkFilter;
        path += vtk ? ".vtp" : ".csv";
    }
    RunKeepingSolution([this, target = path.toStdString(), vtk](UserInterface& ui, Progress& progress) {
        progress.Report(kStageExport, 0.0);
        return ExportSurfaceCommand(session_, target, vtk ? SurfaceFormat::Vtk : SurfaceFormat::Csv, ui);
    }, [this, path, vtk](bool done) {
        if (done) {
            ui_.ShowInformation("The surface solution of " + std::to_string(session_.model.PanelCount()) +
                                " panels was written to " + path.toStdString() +
                                (vtk ? " (VTK PolyData)." : " (CSV table)."));
            return;
        }
        // The dialog has closed; it opens again on the name that failed.
        if (!exportDialog_) return;
        exportDialog_->selectFile(path);
        exportDialog_->open();
    });
}

// The loads are computed beside the window (six unit motions are solved) and shown once there.
void ResultsMenu::Mn_Loads_Click() {
    auto loads = std::make_shared<BodyLoads>();
    RunKeepingSolution([this, loads](UserInterface& ui, Progress& progress) { return LoadsCommand(session_, ui, &progress, {}, *loads); },
         [this, loads](bool done) {
             if (!done) return;
             if (!loads_) loads_ = new LoadsWindow(window_);
             loads_->Show(*loads);
         });
}

void ResultsMenu::Mn_Field_Click() {
    if (!field_) field_ = new FieldDialog(session_, [this](Command command, std::function<void(bool)> done) {
        RunKeepingSolution(std::move(command), std::move(done));
    }, window_);
    field_->Refresh();
    field_->show();
    field_->raise();
}

}  // namespace panelflow
