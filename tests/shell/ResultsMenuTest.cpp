// SPDX-License-Identifier: GPL-3.0-or-later
// The window's menu "Results" as a person uses it: the items wait for a solution, the plot window
// shows 1 - Cp (or Cp) of the chosen columns at the control points, names its curves and follows
// a new solution, and the save and export dialogs write the chosen format, confirm it, and come
// back after a failure. Offscreen, messages recorded.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QChart>
#include <QComboBox>
#include <QFile>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <clocale>
#include <memory>

#include "shell/Form1.h"
#include "support/FindControl.h"
#include "support/WindowTest.h"
#include "commands/LoadsCommand.h"
#include "results/LoadsReport.h"
#include "shell/FieldDialog.h"
#include "shell/LoadsWindow.h"
#include "shell/PlotWindow.h"

using panelflow::Form1;
using panelflow::PlotWindow;

class ResultsMenuTest : public panelflow::testing::WindowTest {
    Q_OBJECT

private:
    void Trigger(const char* action) {
        Control<QAction>(action)->trigger();
        QVERIFY(panelflow::testing::AwaitIdle(*window_));
    }
    void Solve(const char* ni, const char* nj) {
        Control<QLineEdit>("Text_NI")->setText(ni);
        Control<QLineEdit>("Text_NJ")->setText(nj);
        Trigger("Mn_Sphere");
        window_->Command_HessPan_Click();
        QVERIFY(panelflow::testing::AwaitIdle(*window_));
    }
    PlotWindow* Plot() const { return window_->findChild<PlotWindow*>("PlotWindow"); }
    QList<QLineSeries*> Series() const {
        QList<QLineSeries*> series;
        for (QAbstractSeries* s : Plot()->chart()->series()) series << qobject_cast<QLineSeries*>(s);
        return series;
    }
    // Every point of a column's series is (xC, 1 - Cp) of its panels, rows 1..NI in order.
    void CheckColumnSeries(QLineSeries* series, int j, bool cp) {
        const auto& s = window_->session();
        QVERIFY2(series->name().startsWith(QString("column %1, ").arg(j)), qPrintable(series->name()));
        QCOMPARE(series->count(), s.model.NI);
        for (int i = 1; i <= s.model.NI; ++i) {
            QCOMPARE(series->at(i - 1).x(), s.model.xC(i, j));
            const double oneMinusCp = s.solution.OneMinusCp(i, j);
            QCOMPARE(series->at(i - 1).y(), cp ? 1.0 - oneMinusCp : oneMinusCp);
        }
    }

private slots:
    void init() { OpenWindow(); }
    void cleanup() { CloseWindow(); }

    void resultsMenuComesAfterAboutAndWaitsForASolution() {
        const auto actions = window_->menuBar()->actions();
        QCOMPARE(actions.size(), 4);
        QCOMPARE(actions[1]->text(), QString("About"));
        QCOMPARE(actions.back()->text(), QString("Results"));
        for (const char* item : {"Mn_Plot", "Mn_Export", "Mn_Loads", "Mn_Field"}) QVERIFY(!Control<QAction>(item)->isEnabled());
        Trigger("Mn_Sphere");
        QVERIFY(!Control<QAction>("Mn_Plot")->isEnabled());
        window_->Command_HessPan_Click();
        QVERIFY(panelflow::testing::AwaitIdle(*window_));
        for (const char* item : {"Mn_Plot", "Mn_Export", "Mn_Loads", "Mn_Field"}) QVERIFY(Control<QAction>(item)->isEnabled());
        Trigger("Mn_Sphere");  // a new geometry has no solution yet
        QVERIFY(!Control<QAction>("Mn_Export")->isEnabled());
        QVERIFY(!Control<QAction>("Mn_Loads")->isEnabled());
        QVERIFY(ui_.messages.isEmpty());
    }

    void plotWindowShowsOneMinusCpPerColumnAndFollowsANewSolution() {
        Solve("6", "5");
        Trigger("Mn_Plot");
        QVERIFY(Plot() && Plot()->isVisible());
        auto series = Series();
        QCOMPARE(series.size(), 2);  // column 1 and the exact sphere curve
        CheckColumnSeries(series[0], 1, false);
        QCOMPARE(series[1]->name(), QString::fromUtf8("exact 9/4 sin²θ"));
        QCOMPARE(series[1]->at(90).y(), 2.25);  // theta = 90 degrees
        QCOMPARE(series[1]->at(90).x(), 0.5);

        auto* column = Plot()->findChild<QComboBox*>("Plot_Column");
        QCOMPARE(column->count(), 6);  // five columns and "all columns"
        column->setCurrentIndex(2);
        CheckColumnSeries(Series()[0], 3, false);
        Plot()->findChild<QComboBox*>("Plot_Quantity")->setCurrentIndex(1);
        CheckColumnSeries(Series()[0], 3, true);
        column->setCurrentIndex(5);
        series = Series();
        QCOMPARE(series.size(), 6);
        for (int j = 1; j <= 5; ++j) CheckColumnSeries(series[j - 1], j, true);

        // A new solution on 8 x 4 panels replaces the curves while the window stays open.
        Solve("8", "4");
        QCOMPARE(column->count(), 5);
        series = Series();
        QCOMPARE(series.size(), 5);
        for (int j = 1; j <= 4; ++j) CheckColumnSeries(series[j - 1], j, true);
        QVERIFY(ui_.messages.isEmpty());
    }

    void plotSavesAsPngAndSvgAndABadPathGivesAMessage() {
        Solve("4", "4");
        Trigger("Mn_Plot");
        QVERIFY(Plot()->SavePng(work_->filePath("plot.png")));
        QVERIFY(Plot()->SaveSvg(work_->filePath("plot.svg")));
        QCOMPARE(QImage(work_->filePath("plot.png")).isNull(), false);
        QFile svg(work_->filePath("plot.svg"));
        QVERIFY(svg.open(QIODevice::ReadOnly));
        QVERIFY(svg.readAll().contains("<svg"));
        QVERIFY(!Plot()->SavePng(work_->filePath("missing/plot.png")));
        QCOMPARE(ui_.messages.size(), 1);
    }

    // A mesh finer than a chart can draw at once plots "all columns" as every k-th one.
    void allColumnsOfAFineMeshAreEveryKthColumn() {
        Control<QAction>("Mn_WriteTables")->trigger();
        Solve("200", "200");
        Trigger("Mn_Plot");
        auto* column = Plot()->findChild<QComboBox*>("Plot_Column");
        QCOMPARE(column->itemText(column->count() - 1), QString("one column in 2"));
        column->setCurrentIndex(column->count() - 1);
        const auto series = Series();
        QCOMPARE(series.size(), 101);  // columns 1, 3, ..., 199 and the exact curve
        CheckColumnSeries(series[0], 1, false);
        CheckColumnSeries(series[99], 199, false);
        QVERIFY(ui_.messages.isEmpty());
    }

    // Off, the Hess command appends every section but the three tables (and solves the sphere
    // through its symmetry, to the same printed digits); the choice stays for later solutions.
    void writeCoefficientTablesDecidesWhetherTheTablesAreWritten() {
        auto* tables = Control<QAction>("Mn_WriteTables");
        QVERIFY(tables->isCheckable() && tables->isChecked());
        Solve("6", "5");
        QFile file(ResultsPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray withTables = file.readAll();
        const int first = withTables.indexOf("\r\nHess method - Normal velocities\r\n");
        const int last = withTables.indexOf("\r\nSource strengths\r\n");
        QVERIFY(first > 0 && last > first);
        const QByteArray sphere = withTables.left(withTables.indexOf("\r\nHess method"));
        const QByteArray solution = withTables.mid(last);

        tables->trigger();
        QVERIFY(!tables->isChecked());
        Solve("6", "5");
        Solve("6", "5");
        file.seek(0);
        QCOMPARE(file.readAll(), withTables + sphere + solution + sphere + solution);
        QVERIFY(!tables->isChecked());
        QVERIFY(ui_.messages.isEmpty());
    }

    // The legend names every curve as drawn (the exact one after the quantity, all columns under
    // one entry), a column by its meridian angle, and the saved drawing by the quantity and body.
    void plotLegendAndTitleNameWhatIsDrawn() {
        Solve("6", "5");
        Trigger("Mn_Plot");
        auto* column = Plot()->findChild<QComboBox*>("Plot_Column");
        // The legend's entries as a person sees them once the chart has been laid out.
        auto shownLabels = [this] {
            QApplication::processEvents();
            QStringList labels;
            for (QLegendMarker* marker : Plot()->chart()->legend()->markers())
                if (marker->isVisible()) labels << marker->label();
            return labels;
        };
        QVERIFY(Plot()->chart()->legend()->isVisible());
        QCOMPARE(shownLabels().value(1), QString::fromUtf8("exact 9/4 sin²θ"));
        Plot()->findChild<QComboBox*>("Plot_Quantity")->setCurrentIndex(1);
        QCOMPARE(Series().back()->at(90).y(), -1.25);  // Cp = 1 - 9/4 at theta = 90 degrees
        QCOMPARE(shownLabels().value(1), QString::fromUtf8("exact 1 − 9/4 sin²θ"));
        column->setCurrentIndex(5);
        QVERIFY(Plot()->chart()->legend()->isVisible());
        QCOMPARE(shownLabels(), (QStringList{"all 5 columns", QString::fromUtf8("exact 1 − 9/4 sin²θ")}));
        // Five columns from -90 degrees: their middles at -54, 18, 90, 162 and -126 (234).
        QCOMPARE(column->itemText(2), QString::fromUtf8("column 3, φ = 90°"));
        QCOMPARE(column->itemText(4), QString::fromUtf8("column 5, φ = -126°"));
        column->setCurrentIndex(0);
        QCOMPARE(shownLabels().value(0), QString::fromUtf8("column 1, φ = -54°"));

        const QString title = QString::fromUtf8("Cp along the body — sphere of diameter 1, 6 × 5 panels, free stream (1, 0, 0)");
        QCOMPARE(Plot()->windowTitle(), title);
        QVERIFY(Plot()->SaveSvg(work_->filePath("plot.svg")));
        QFile svg(work_->filePath("plot.svg"));
        QVERIFY(svg.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(svg.readAll()).contains("<title>" + title + "</title>"));
    }

    // A new geometry leaves no solution to plot: the window says so (no empty axes, no warning
    // from them), and the next solution comes back in the column chosen before.
    void plotSaysNoSolutionYetAndKeepsTheChosenColumn() {
        Solve("6", "5");
        Trigger("Mn_Plot");
        Plot()->findChild<QComboBox*>("Plot_Column")->setCurrentIndex(2);
        QTest::failOnWarning(QRegularExpression("invalid range"));
        Trigger("Mn_Sphere");
        auto* note = Plot()->findChild<QLabel*>("Plot_NoSolution");
        QVERIFY(note->isVisible());
        QVERIFY2(note->text().startsWith("No solution yet"), qPrintable(note->text()));
        QVERIFY(!Plot()->findChild<QWidget*>("Plot_Chart")->isVisible());
        QVERIFY(!Plot()->findChild<QWidget*>("Plot_SavePng")->isEnabled());
        window_->Command_HessPan_Click();
        QVERIFY(panelflow::testing::AwaitIdle(*window_));
        QVERIFY(!note->isVisible());
        CheckColumnSeries(Series()[0], 3, false);
    }

    // A name without the format's suffix gets it; a save or export is confirmed; after a failure
    // the dialog opens again on the name and format that failed.
    void savesAndExportsAddTheSuffixConfirmAndComeBackAfterAFailure() {
        using Kind = panelflow::testing::RecordingWindowInterface::Kind;
        Solve("4", "4");
        Trigger("Mn_Plot");
        const auto saveThrough = [this](const char* button, const QString& path) {
            QTest::mouseClick(Plot()->findChild<QPushButton*>(button), Qt::LeftButton);
            auto* dialog = Plot()->findChild<QFileDialog*>("Plot_SaveDialog");
            QVERIFY(dialog && dialog->isVisible());
            dialog->selectFile(path);
            static_cast<QDialog*>(dialog)->accept();  // as the dialog's Save button does
        };
        saveThrough("Plot_SavePng", work_->filePath("myplot"));
        QCOMPARE(QImage(work_->filePath("myplot.png")).isNull(), false);
        saveThrough("Plot_SaveSvg", work_->filePath("drawing"));
        QVERIFY(QFile::exists(work_->filePath("drawing.svg")));
        QCOMPARE(ui_.kinds, (std::vector<Kind>{Kind::Information, Kind::Information}));
        QVERIFY(ui_.messages[0].endsWith("myplot.png."));
        // A directory where no file can be made, not even by the superuser.
        saveThrough("Plot_SavePng", "/sys/plot.png");
        QCOMPARE(ui_.kinds.back(), Kind::Message);
        auto* saveDialog = Plot()->findChild<QFileDialog*>("Plot_SaveDialog");
        QTRY_VERIFY(saveDialog->isVisible());
        QCOMPARE(saveDialog->selectedFiles().value(0), QString("/sys/plot.png"));
        saveDialog->reject();

        ui_ = panelflow::testing::RecordingWindowInterface{};
        Trigger("Mn_Export");
        auto* dialog = window_->findChild<QFileDialog*>("ExportDialog");
        QVERIFY(dialog && dialog->isVisible());
        dialog->selectNameFilter(dialog->nameFilters()[1]);
        emit dialog->fileSelected(work_->filePath("surface"));
        QVERIFY(panelflow::testing::AwaitIdle(*window_));  // the export runs beside the window
        QFile vtp(work_->filePath("surface.vtp"));
        QVERIFY(vtp.open(QIODevice::ReadOnly));
        QVERIFY(vtp.readAll().contains("NumberOfPolys=\"16\""));
        QCOMPARE(ui_.kinds, std::vector<Kind>{Kind::Information});
        QVERIFY2(ui_.messages[0].contains("16 panels") && ui_.messages[0].contains("surface.vtp"), qPrintable(ui_.messages[0]));
        emit dialog->fileSelected(work_->filePath("table.csv"));
        QVERIFY(panelflow::testing::AwaitIdle(*window_));
        QFile csv(work_->filePath("table.csv"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QCOMPARE(csv.readAll().count('\n'), 17);

        // As the dialog's Save button does: the name is chosen, then the dialog closes.
        emit dialog->fileSelected("/sys/surface.vtp");
        dialog->hide();
        QTRY_COMPARE(ui_.messages.size(), 3);
        QCOMPARE(ui_.kinds.back(), Kind::Message);
        QVERIFY(ui_.messages.back().contains("cannot be written"));
        QTRY_VERIFY(dialog->isVisible());
        QCOMPARE(dialog->selectedNameFilter(), dialog->nameFilters()[1]);
        QCOMPARE(dialog->selectedFiles().value(0), QString("/sys/surface.vtp"));
    }

    // The loads are computed beside the window and shown as the table the batch program prints;
    // Copy puts it on the clipboard, and a new solution marks it as an earlier one's.
    void loadsWindowShowsTheTableCopiesItAndMarksItOldAfterANewSolution() {
        Solve("8", "8");
        Trigger("Mn_Loads");
        auto* loads = window_->findChild<panelflow::LoadsWindow*>("LoadsWindow");
        QVERIFY(loads && loads->isVisible());
        panelflow::BodyLoads expected;
        QVERIFY(panelflow::LoadsCommand(window_->session(), ui_, nullptr, {}, expected));
        const QString table = QString::fromStdString(panelflow::LoadsTableText(expected));
        QCOMPARE(loads->findChild<QPlainTextEdit*>("Loads_Table")->toPlainText(), table);
        QVERIFY(table.contains("k1, k2, k'"));
        QTest::mouseClick(loads->findChild<QPushButton*>("Loads_Copy"), Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), table);
        Solve("6", "6");
        QVERIFY(loads->findChild<QLabel*>("Loads_Note")->text().startsWith("These numbers belong to an earlier solution"));
        QVERIFY(ui_.messages.isEmpty());
    }

    // The dialog offers a box around the body; the grid goes to the file named, a bad box text
    // to a message and no file.
    void fieldDialogWritesTheBoxGridAndRefusesABadBox() {
        Solve("6", "6");
        Trigger("Mn_Field");
        auto* dialog = window_->findChild<panelflow::FieldDialog*>("FieldDialog");
        QVERIFY(dialog && dialog->isVisible());
        auto* box = dialog->findChild<QLineEdit*>("Field_BoxText");
        QCOMPARE(box->text(), QString("-0.5:1.5:41,-1:1:41,-1:1:41"));
        box->setText("0:1:3,0:0:1,0:0:1");
        dialog->findChild<QLineEdit*>("Field_Output")->setText(work_->filePath("flow"));
        const auto write = [&] {
            QTest::mouseClick(dialog->findChild<QPushButton*>("Field_Write"), Qt::LeftButton);
            QVERIFY(panelflow::testing::AwaitIdle(*window_));
        };
        write();
        QFile grid(work_->filePath("flow.vts"));
        QVERIFY(grid.open(QIODevice::ReadOnly));
        QVERIFY(grid.readAll().contains("WholeExtent=\"0 2 0 0 0 0\""));
        QVERIFY(dialog->findChild<QLabel*>("Field_Status")->text().startsWith("Written to "));
        QVERIFY(ui_.messages.isEmpty());

        box->setText("0:1:3,0:0:1");
        dialog->findChild<QLineEdit*>("Field_Output")->setText(work_->filePath("other.vts"));
        write();
        QCOMPARE(ui_.messages.size(), 1);
        QVERIFY(ui_.messages[0].startsWith("The box \"0:1:3,0:0:1\""));
        QVERIFY(!QFile::exists(work_->filePath("other.vts")));
    }
};

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    ResultsMenuTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ResultsMenuTest.moc"
