// SPDX-License-Identifier: GPL-3.0-or-later
#include "PlotWindow.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QPushButton>
#include <QSvgGenerator>
#include <QValueAxis>
#include <QVBoxLayout>

#include "base/PrintableText.h"
#include "commands/PressurePlot.h"
#include "commands/SessionSummary.h"

namespace panelflow {
namespace {

constexpr QSize kWindowSize(720, 480);
constexpr int kAllColumns = 0;  // the data of the last entry of Plot_Column
constexpr const char* kXAxisTitle = "x (length unit of the body)";
constexpr const char* kOneMinusCpTitle = "1 − Cp (dimensionless)";
constexpr const char* kCpTitle = "Cp (dimensionless)";
constexpr const char* kColumnToolTip = "φ is the meridian's angle about the x axis, from +y towards +z";
constexpr const char* kPngFilter = "PNG image (*.png)";
constexpr const char* kSvgFilter = "SVG drawing (*.svg)";
// The exact curve stands apart from the computed ones in every theme: dashed, dark.
const QPen kExactPen(QColor(0, 0, 0), 1.5, Qt::DashLine);

}  // namespace

PlotWindow::PlotWindow(const Session& session, UserInterface& ui, QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session), ui_(ui) {
    setObjectName("PlotWindow");
    resize(kWindowSize);

    Plot_Column = new QComboBox(this);
    Plot_Column->setObjectName("Plot_Column");
    Plot_Column->setToolTip(kColumnToolTip);
    Plot_Column->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    Plot_Quantity = new QComboBox(this);
    Plot_Quantity->setObjectName("Plot_Quantity");
    Plot_Quantity->addItem("1 − Cp", static_cast<int>(PlottedQuantity::OneMinusCp));
    Plot_Quantity->addItem("Cp", static_cast<int>(PlottedQuantity::Cp));
    Plot_SavePng = new QPushButton("Save PNG…", this);
    Plot_SavePng->setObjectName("Plot_SavePng");
    Plot_SaveSvg = new QPushButton("Save SVG…", this);
    Plot_SaveSvg->setObjectName("Plot_SaveSvg");

    chart_ = new QChart;
    view_ = new QChartView(chart_, this);
    view_->setObjectName("Plot_Chart");
    view_->setRenderHint(QPainter::Antialiasing);
    Plot_NoSolution = new QLabel(this);
    Plot_NoSolution->setObjectName("Plot_NoSolution");
    Plot_NoSolution->setAlignment(Qt::AlignCenter);
    Plot_NoSolution->setWordWrap(true);

    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel("Meridian column:", this));
    controls->addWidget(Plot_Column);
    controls->addWidget(new QLabel("Quantity:", this));
    controls->addWidget(Plot_Quantity);
    controls->addStretch();
    controls->addWidget(Plot_SavePng);
    controls->addWidget(Plot_SaveSvg);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(view_, 1);
    layout->addWidget(Plot_NoSolution, 1);

    connect(Plot_Column, &QComboBox::currentIndexChanged, this, &PlotWindow::Plot_Column_Change);
    connect(Plot_Quantity, &QComboBox::currentIndexChanged, this, &PlotWindow::Redraw);
    connect(Plot_SavePng, &QPushButton::clicked, this, [this] { OpenSaveDialog(kPngFilter, "png"); });
    connect(Plot_SaveSvg, &QPushButton::clicked, this, [this] { OpenSaveDialog(kSvgFilter, "svg"); });
}

void PlotWindow::Refresh() {
    bodyTitle_ = QString::fromStdString(SolutionTitle(session_));
    if (session_.shell.SolutionReady) {
        const QSignalBlocker quiet(Plot_Column);
        Plot_Column->clear();
        const std::vector<double> phi = MeridianAngles(session_.model);
        const int NJ = session_.model.NJ;
        for (int j = 1; j <= NJ; ++j) Plot_Column->addItem(QString::fromStdString(ColumnName(j, phi[j - 1])), j);
        const int step = PlottedColumnStep(session_.model);
        Plot_Column->addItem(step == 1 ? QString("all columns") : QString("one column in %1").arg(step), kAllColumns);
        Plot_Column->setCurrentIndex(Plot_Column->findData(chosenColumn_ <= NJ ? chosenColumn_ : 1));
    }
    Redraw();
}

void PlotWindow::SetBusy(bool busy) {
    busy_ = busy;
    setEnabled(!busy);
}

void PlotWindow::Plot_Column_Change() {
    chosenColumn_ = Plot_Column->currentData().toInt();
    Redraw();
}

void PlotWindow::Redraw() {
    if (busy_) return;
    const auto quantity = static_cast<PlottedQuantity>(Plot_Quantity->currentData().toInt());
    const QString title = quantity == PlottedQuantity::Cp ? "Cp along the body" : "1 − Cp along the body";
    setWindowTitle(bodyTitle_.isEmpty() ? title : title + " — " + bodyTitle_);

    chart_->removeAllSeries();
    for (QAbstractAxis* axis : chart_->axes()) {
        chart_->removeAxis(axis);
        delete axis;
    }
    const bool solved = session_.shell.SolutionReady;
    for (QWidget* control : {static_cast<QWidget*>(Plot_Column), static_cast<QWidget*>(Plot_Quantity),
                             static_cast<QWidget*>(Plot_SavePng), static_cast<QWidget*>(Plot_SaveSvg)})
        control->setEnabled(solved);
    view_->setVisible(solved);
    Plot_NoSolution->setVisible(!solved);
    if (!solved) {
        const ShellState& shell = session_.shell;
        Plot_NoSolution->setText(
            shell.ZeroPivotStep > 0
                ? QString("No solution: the elimination met a zero pivot at step %1. Mend the body and build it again.")
                      .arg(shell.ZeroPivotStep)
            : shell.GeometryReady ? "No solution yet: apply the Hess panel method to this body, and the plot follows."
                                  : "No solution yet: build a body and apply the Hess panel method.");
        return;
    }

    auto* xAxis = new QValueAxis;
    xAxis->setTitleText(kXAxisTitle);
    auto* yAxis = new QValueAxis;
    yAxis->setTitleText(quantity == PlottedQuantity::Cp ? kCpTitle : kOneMinusCpTitle);
    chart_->addAxis(xAxis, Qt::AlignBottom);
    chart_->addAxis(yAxis, Qt::AlignLeft);

    // All columns share the first one's colour and one entry of the legend; the exact curve has
    // its own.
    const bool allColumns = Plot_Column->currentData().toInt() == kAllColumns;
    QList<QLineSeries*> columns;
    for (const PlotCurve& curve : PressureCurves(session_, Plot_Column->currentData().toInt(), quantity)) {
        auto* series = new QLineSeries;
        series->setName(QString::fromStdString(curve.name));
        series->setPointsVisible(!curve.exact);
        for (std::size_t k = 0; k < curve.x.size(); ++k) series->append(curve.x[k], curve.value[k]);
        chart_->addSeries(series);
        series->attachAxis(xAxis);
        series->attachAxis(yAxis);
        if (curve.exact) series->setPen(kExactPen);
        else columns << series;
    }
    if (allColumns && !columns.isEmpty()) {
        for (QLineSeries* series : columns) {
            series->setColor(columns.front()->color());
            for (QLegendMarker* marker : chart_->legend()->markers(series)) marker->setVisible(series == columns.front());
        }
        for (QLegendMarker* marker : chart_->legend()->markers(columns.front()))
            marker->setLabel(QString("all %1 columns").arg(columns.size()));
    }
    xAxis->applyNiceNumbers();
    yAxis->applyNiceNumbers();
    chart_->legend()->setVisible(true);
}

bool PlotWindow::SavePng(const QString& path) {
    if (view_->grab().save(path, "PNG")) return true;
    ui_.ShowMessage("The plot cannot be saved as " + PrintableText(path.toStdString()) + ".");
    return false;
}

bool PlotWindow::SaveSvg(const QString& path) {
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(view_->size());
    svg.setViewBox(QRect(QPoint(0, 0), view_->size()));
    svg.setTitle(windowTitle());
    svg.setDescription(bodyTitle_);
    QPainter painter;
    if (!painter.begin(&svg)) {
        ui_.ShowMessage("The plot cannot be saved as " + PrintableText(path.toStdString()) + ".");
        return false;
    }
    view_->render(&painter);
    painter.end();
    return true;
}

// The dialog is window-modal but does not block: the file arrives through fileSelected.
void PlotWindow::OpenSaveDialog(const QString& filter, const QString& suffix) {
    if (!saveDialog_) {
        saveDialog_ = new QFileDialog(this, "Save the plot");
        saveDialog_->setObjectName("Plot_SaveDialog");
        saveDialog_->setAcceptMode(QFileDialog::AcceptSave);
        saveDialog_->setOption(QFileDialog::DontUseNativeDialog);
        connect(saveDialog_, &QFileDialog::fileSelected, this, &PlotWindow::SaveDialog_FileSelected);
    }
    saveDialog_->setNameFilter(filter);
    saveDialog_->setDefaultSuffix(suffix);
    saveDialog_->open();
}

// A name without the format's suffix gets it. After a failure (its message shown) the dialog
// opens again on the same name, once it has closed.
void PlotWindow::SaveDialog_FileSelected(const QString& chosen) {
    const QString suffix = saveDialog_->defaultSuffix();
    QString path = chosen;
    if (!path.endsWith("." + suffix, Qt::CaseInsensitive)) path += "." + suffix;
    const bool saved = suffix == "svg" ? SaveSvg(path) : SavePng(path);
    if (saved) {
        ui_.ShowInformation("The plot was saved as " + path.toStdString() + ".");
        return;
    }
    QMetaObject::invokeMethod(this, [this, path] {
        saveDialog_->selectFile(path);
        saveDialog_->open();
    }, Qt::QueuedConnection);
}

}  // namespace panelflow
