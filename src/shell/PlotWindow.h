// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The plot "1 - Cp along the body": a non-modal window with 1 - Cp (or Cp) against x at the
// control points, one curve per meridian column chosen in Plot_Column (or all columns, drawn
// alike under one legend entry), and the exact curve beside them when the body is a sphere. Its
// title names the quantity, the body, its panels and the solution's free stream. Without a
// solution of the current body it says so in place of the chart.
//
// The window reads the session only in Refresh() and when the user changes a choice; while a
// command runs the window is disabled (SetBusy), so it never reads a session that the worker is
// changing. A chart is saved as PNG or SVG through a save dialog that adds the format's suffix
// to a name without one, confirms the save, and opens again with the name after a failure.

#include <QString>
#include <QWidget>

#include "commands/PressurePlot.h"
#include "commands/Session.h"
#include "commands/UserInterface.h"

class QChart;
class QChartView;
class QComboBox;
class QFileDialog;
class QLabel;
class QPushButton;

namespace panelflow {

class PlotWindow : public QWidget {
    Q_OBJECT
public:
    PlotWindow(const Session& session, UserInterface& ui, QWidget* parent = nullptr);

    // Redraws from the session: the column list follows NJ, the choices stay where they can.
    void Refresh();
    // Disables the window while a command runs, and enables it again.
    void SetBusy(bool busy);

    // Save the chart as shown; a failure shows a message and returns false.
    bool SavePng(const QString& path);
    bool SaveSvg(const QString& path);

    QChart* chart() const { return chart_; }

private:
    void Redraw();
    void Plot_Column_Change();
    void OpenSaveDialog(const QString& filter, const QString& suffix);
    void SaveDialog_FileSelected(const QString& chosen);

    const Session& session_;
    UserInterface& ui_;
    QComboBox* Plot_Column = nullptr;
    QComboBox* Plot_Quantity = nullptr;
    QPushButton* Plot_SavePng = nullptr;
    QPushButton* Plot_SaveSvg = nullptr;
    QLabel* Plot_NoSolution = nullptr;
    QFileDialog* saveDialog_ = nullptr;
    QChart* chart_ = nullptr;
    QChartView* view_ = nullptr;
    int chosenColumn_ = 1;  // the user's last choice, kept while there is no solution to choose from
    QString bodyTitle_;     // the body, its panels and stream, as at the last Refresh()
    bool busy_ = false;
};

}  // namespace panelflow
