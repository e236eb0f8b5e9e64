// SPDX-License-Identifier: GPL-3.0-or-later
// Long work in the window as a person meets it: the window stays alive (it repaints, takes no
// input) while a command runs on the worker thread, a long command shows its progress window,
// Cancel leaves everything as it was, and a solution left to finish holds no matrices afterwards.
// Offscreen, messages recorded.

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <clocale>
#include <fstream>
#include <memory>
#include <string>

#include "shell/Form1.h"
#include "support/FindControl.h"
#include "support/WindowTest.h"

using panelflow::Form1;

namespace {

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Paint events that reach a widget.
struct PaintCounter : QObject {
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
    int paints = 0;
};

// The resident memory of this process in MB, from /proc/self/status.
double ResidentMegabytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return -1.0;
}

}  // namespace

class LongWorkTest : public panelflow::testing::WindowTest {
    Q_OBJECT

private:
    void Sphere(const char* ni, const char* nj) {
        Control<QLineEdit>("Text_NI")->setText(ni);
        Control<QLineEdit>("Text_NJ")->setText(nj);
        Control<QAction>("Mn_Sphere")->trigger();
        QVERIFY(panelflow::testing::AwaitIdle(*window_));
    }
    QWidget* Progress() const { return window_->findChild<QWidget*>("ProgressWindow"); }
    QImage Picture() const { return Control<QWidget>("Pic1")->grab().toImage(); }

private slots:
    void init() { OpenWindow(); }
    void cleanup() { CloseWindow(); }

    // The dense solver with its tables, and the symmetric one without them on a finer sphere.
    void cancelledHessLeavesTheFileTheWindowAndTheSolutionAsTheyWere_data() {
        QTest::addColumn<QString>("counts");
        QTest::addColumn<bool>("tables");
        QTest::newRow("dense") << "72" << true;
        QTest::newRow("symmetric") << "600" << false;
    }

    void cancelledHessLeavesTheFileTheWindowAndTheSolutionAsTheyWere() {
        QFETCH(QString, counts);
        QFETCH(bool, tables);
        Sphere("8", "8");
        QTest::mouseClick(Control<QPushButton>("Command_HessPan"), Qt::LeftButton);
        QVERIFY(panelflow::testing::AwaitIdle(*window_));
        Sphere(qPrintable(counts), qPrintable(counts));
        if (!tables) Control<QAction>("Mn_WriteTables")->trigger();
        const QByteArray before = ReadFile(ResultsPath());
        const QImage picture = Picture();
        const double oneMinusCp = window_->session().solution.OneMinusCp(2, 3);

        PaintCounter counter;
        QWidget* pic = Control<QWidget>("Pic1");
        pic->installEventFilter(&counter);
        QTest::mouseClick(Control<QPushButton>("Command_HessPan"), Qt::LeftButton);
        QVERIFY(window_->busy());
        QVERIFY(!Control<QWidget>("Text_NI")->isEnabled());  // no input is kept for later
        pic->update();
        QTRY_VERIFY_WITH_TIMEOUT(counter.paints > 0, 5000);  // the picture repaints meanwhile
        QVERIFY(window_->busy());

        QTRY_VERIFY_WITH_TIMEOUT(Progress() && Progress()->isVisible(), 30000);
        QVERIFY(!Progress()->isModal());
        QTRY_VERIFY_WITH_TIMEOUT(!Control<QLabel>("ProgressStage")->text().startsWith("Starting"), 30000);
        QTest::mouseClick(Control<QPushButton>("ProgressCancel"), Qt::LeftButton);
        QVERIFY(panelflow::testing::AwaitIdle(*window_, 10000));  // stops within seconds
        pic->removeEventFilter(&counter);

        QVERIFY(!Progress()->isVisible());
        QVERIFY(ReadFile(ResultsPath()) == before);
        QCOMPARE(Picture(), picture);
        QVERIFY(Control<QWidget>("Command_HessPan")->isVisibleTo(window_.get()));
        QVERIFY(Control<QWidget>("Text_NI")->isEnabled());
        QVERIFY(!window_->session().shell.DrawCpSurface);
        QCOMPARE(window_->session().solution.OneMinusCp(2, 3), oneMinusCp);
        QVERIFY(ui_.messages.isEmpty());
    }

    void hessLeftAloneWritesTheBatchProgramsFileAndKeepsNoMatrices() {
        Sphere("64", "64");
        QTest::mouseClick(Control<QPushButton>("Command_HessPan"), Qt::LeftButton);
        QVERIFY(panelflow::testing::AwaitIdle(*window_));
        QVERIFY(ui_.messages.isEmpty());
        QVERIFY(window_->session().shell.DrawCpSurface);
        // The matrices (403 MB at 64 x 64) are gone once the command is over.
        const double resident = ResidentMegabytes();
        qInfo("resident memory after a 64 x 64 Hess, idle: %.0f MB", resident);
        QVERIFY2(resident > 0 && resident < 200, qPrintable(QString("resident %1 MB").arg(resident)));
        // No text box holds the keyboard with its text selected, ready to be overwritten.
        auto* focused = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(focused == nullptr || !focused->hasSelectedText());

        QTemporaryDir batchDir;
        QProcess batch;
        batch.setWorkingDirectory(batchDir.path());
        batch.start(PANELFLOW_SHELL_BATCH_PROGRAM, {"--ni", "64", "--nj", "64", "sphere", "hess"});
        QVERIFY(batch.waitForFinished(120000));
        QCOMPARE(batch.exitCode(), 0);
        QVERIFY(ReadFile(batchDir.filePath("Axisym.txt")) == ReadFile(ResultsPath()));
    }

    // The plot window reads the session; while a command replaces it the plot takes no input.
    void plotTakesNoInputWhileACommandRuns() {
        Sphere("8", "8");
        QTest::mouseClick(Control<QPushButton>("Command_HessPan"), Qt::LeftButton);
        QVERIFY(panelflow::testing::AwaitIdle(*window_));
        Control<QAction>("Mn_Plot")->trigger();
        QWidget* plot = Control<QWidget>("PlotWindow");
        auto* column = Control<QComboBox>("Plot_Column");
        QVERIFY(plot->isVisible() && column->isEnabled());

        Control<QLineEdit>("Text_NI")->setText("72");
        Control<QLineEdit>("Text_NJ")->setText("72");
        Control<QAction>("Mn_Sphere")->trigger();
        QVERIFY(window_->busy());
        QVERIFY(!plot->isEnabled());
        QTest::keyClick(column, Qt::Key_Down);
        QCOMPARE(column->currentIndex(), 0);
        QVERIFY(panelflow::testing::AwaitIdle(*window_));
        QVERIFY(plot->isEnabled());
        QVERIFY(ui_.messages.isEmpty());
    }

    void pickerClosesByEscapeOrItsCloseControlLeavingAllAsItWas() {
        for (const bool escape : {true, false}) {
            Control<QAction>("Mn_ReadData")->trigger();
            QWidget* picker = Control<QWidget>("Frame_IOWindow");
            QVERIFY(picker->isVisibleTo(window_.get()));
            if (escape) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            else QTest::mouseClick(Control<QToolButton>("Close_IOWindow"), Qt::LeftButton);
            QVERIFY(!picker->isVisibleTo(window_.get()));
            QVERIFY(!window_->busy());
            QCOMPARE(QFileInfo(ResultsPath()).size(), 0);
            QVERIFY(!window_->session().shell.GeometryReady);
        }
    }
};

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    LongWorkTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "LongWorkTest.moc"
