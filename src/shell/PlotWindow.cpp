#include "PlotWindow.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QPushButton>
#include <QScatterSeries>
#include <QSvgGenerator>
#include <QValueAxis>
#include <QVBoxLayout>

#include "commands/PressurePlot.h"

namespace panelflow {
namespace {

constexpr QSize kWindowSize(720, 480);
constexpr int kAllColumns = 0;  // the data of the last entry of Plot_Column
constexpr const char* kXAxisTitle = "x (length unit of the body)";
constexpr const char* kOneMinusCpTitle = "1 − Cp (dimensionless)";
constexpr const char* kCpTitle = "Cp (dimensionless)";

}  // namespace

PlotWindow::PlotWindow(const Session& session, UserInterface& ui, QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session), ui_(ui) {
    setObjectName("PlotWindow");
    setWindowTitle("1 − Cp along the body");
    resize(kWindowSize);

    Plot_Column = new QComboBox(this);
    Plot_Column->setObjectName("Plot_Column");
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
    layout->addWidget(view_);

    connect(Plot_Column, &QComboBox::currentIndexChanged, this, &PlotWindow::Redraw);
    connect(Plot_Quantity, &QComboBox::currentIndexChanged, this, &PlotWindow::Redraw);
    connect(Plot_SavePng, &QPushButton::clicked, this, [this] { AskAndSave("PNG image (*.png)", &PlotWindow::SavePng); });
    connect(Plot_SaveSvg, &QPushButton::clicked, this, [this] { AskAndSave("SVG drawing (*.svg)", &PlotWindow::SaveSvg); });
}

void PlotWindow::Refresh() {
    const int chosen = Plot_Column->currentData().isValid() ? Plot_Column->currentData().toInt() : 1;
    const QSignalBlocker quiet(Plot_Column);
    Plot_Column->clear();
    const int NJ = session_.shell.SolutionReady ? session_.model.NJ : 0;
    for (int j = 1; j <= NJ; ++j) Plot_Column->addItem(QString("column %1").arg(j), j);
    const int step = NJ > 0 ? PlottedColumnStep(session_.model) : 1;
    Plot_Column->addItem(step == 1 ? QString("all columns") : QString("one column in %1").arg(step), kAllColumns);
    const int index = Plot_Column->findData(chosen <= NJ ? chosen : 1);
    Plot_Column->setCurrentIndex(index >= 0 ? index : 0);
    Redraw();
}

void PlotWindow::Redraw() {
    chart_->removeAllSeries();
    for (QAbstractAxis* axis : chart_->axes()) {
        chart_->removeAxis(axis);
        delete axis;
    }
    const auto quantity = static_cast<PlottedQuantity>(Plot_Quantity->currentData().toInt());
    auto* xAxis = new QValueAxis;
    xAxis->setTitleText(kXAxisTitle);
    auto* yAxis = new QValueAxis;
    yAxis->setTitleText(quantity == PlottedQuantity::Cp ? kCpTitle : kOneMinusCpTitle);
    chart_->addAxis(xAxis, Qt::AlignBottom);
    chart_->addAxis(yAxis, Qt::AlignLeft);

    for (const PlotCurve& curve : PressureCurves(session_, Plot_Column->currentData().toInt(), quantity)) {
        auto* series = new QLineSeries;
        series->setName(QString::fromStdString(curve.name));
        series->setPointsVisible(!curve.exact);
        for (std::size_t k = 0; k < curve.x.size(); ++k) series->append(curve.x[k], curve.value[k]);
        chart_->addSeries(series);
        series->attachAxis(xAxis);
        series->attachAxis(yAxis);
    }
    xAxis->applyNiceNumbers();
    yAxis->applyNiceNumbers();
    chart_->legend()->setVisible(Plot_Column->currentData().toInt() != kAllColumns);
}

bool PlotWindow::SavePng(const QString& path) {
    if (view_->grab().save(path, "PNG")) return true;
    ui_.ShowMessage("The plot cannot be saved as " + path.toStdString() + ".");
    return false;
}

bool PlotWindow::SaveSvg(const QString& path) {
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(view_->size());
    svg.setViewBox(QRect(QPoint(0, 0), view_->size()));
    svg.setTitle(windowTitle());
    QPainter painter;
    if (!painter.begin(&svg)) {
        ui_.ShowMessage("The plot cannot be saved as " + path.toStdString() + ".");
        return false;
    }
    view_->render(&painter);
    painter.end();
    return true;
}

void PlotWindow::AskAndSave(const QString& filter, bool (PlotWindow::*save)(const QString&)) {
    const QString path = QFileDialog::getSaveFileName(this, "Save the plot", QString(), filter);
    if (!path.isEmpty()) (this->*save)(path);
}

}  // namespace panelflow
