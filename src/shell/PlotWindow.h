#pragma once
// The plot "1 - Cp along the body": a non-modal window with 1 - Cp (or Cp) against x at the
// control points, one curve per meridian column chosen in Plot_Column (or all columns), and the
// exact curve beside them when the body is a sphere. It shows the session's solution as it
// stands whenever Refresh() is called (after every new solution), and saves itself as PNG or SVG.

#include <QWidget>

#include "commands/Session.h"
#include "commands/UserInterface.h"

class QChart;
class QChartView;
class QComboBox;
class QPushButton;

namespace panelflow {

class PlotWindow : public QWidget {
    Q_OBJECT
public:
    PlotWindow(const Session& session, UserInterface& ui, QWidget* parent = nullptr);

    // Redraws from the session: the column list follows NJ, the choices stay where they can.
    void Refresh();

    // Save the chart as shown; a failure shows a message and returns false.
    bool SavePng(const QString& path);
    bool SaveSvg(const QString& path);

    QChart* chart() const { return chart_; }

private:
    void Redraw();
    void AskAndSave(const QString& filter, bool (PlotWindow::*save)(const QString&));

    const Session& session_;
    UserInterface& ui_;
    QComboBox* Plot_Column = nullptr;
    QComboBox* Plot_Quantity = nullptr;
    QPushButton* Plot_SavePng = nullptr;
    QPushButton* Plot_SaveSvg = nullptr;
    QChart* chart_ = nullptr;
    QChartView* view_ = nullptr;
};

}  // namespace panelflow
