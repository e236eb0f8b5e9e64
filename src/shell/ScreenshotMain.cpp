// SPDX-License-Identifier: GPL-3.0-or-later
// panelflow-screenshot [--plot | --picker | --body] PNG [NI NJ [SCALE ANGLE_X ANGLE_Z]]: runs the
// real window in a temporary directory, builds the sphere (default NI = NJ = 16), applies the
// Hess panel method, moves the scale and rotation bars as a user would (default scale 2, 30
// degrees about x, -20 about z) and saves the window's picture, menu bar included, to PNG. With
// --plot it saves instead the plot window opened from Results, with --picker the window with the
// file picker for profile files open on the working directory, with --body the window "Body and
// solution" opened from Flow. Any message of the commands is printed and fails the run.
// The pictures of docs/ are made from the examples directory:
//   panelflow-screenshot ../docs/window.png (and --plot plot.png, --picker picker.png, --body body.png)

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QScrollBar>
#include <QTemporaryDir>
#include <clocale>
#include <cstdio>

#include "Form1.h"
#include "PlotWindow.h"
#include "solver/BlasKernels.h"

namespace {

struct PrintedMessages : panelflow::UserInterface {
    void ShowMessage(const std::string& text) override {
        std::fprintf(stderr, "%s\n", text.c_str());
        failed = true;
    }
    bool failed = false;
};

}  // namespace

int main(int argc, char* argv[]) {
    panelflow::SelectBlasKernels(argv);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("panelflow");
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const bool plot = mode == "--plot", picker = mode == "--picker", body = mode == "--body";
    if (plot || picker || body) --argc, ++argv;
    if (argc < 2) {
        std::fprintf(stderr, "usage: panelflow-screenshot [--plot | --picker | --body] PNG [NI NJ [SCALE ANGLE_X ANGLE_Z]]\n");
        return 2;
    }
    const QString png = QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[1]));
    const QString ni = argc > 2 ? QString::fromLocal8Bit(argv[2]) : "16";
    const QString nj = argc > 3 ? QString::fromLocal8Bit(argv[3]) : "16";
    const int scale = argc > 4 ? QString::fromLocal8Bit(argv[4]).toInt() : 2;
    const int angleX = argc > 5 ? QString::fromLocal8Bit(argv[5]).toInt() : 30;
    const int angleZ = argc > 6 ? QString::fromLocal8Bit(argv[6]).toInt() : -20;

    QTemporaryDir work;
    if (!work.isValid()) return 1;
    PrintedMessages ui;
    panelflow::Form1 window(ui, QDir(work.path()).filePath("Axisym.txt").toStdString());
    window.show();
    window.findChild<QLineEdit*>("Text_NI")->setText(ni);
    window.findChild<QLineEdit*>("Text_NJ")->setText(nj);
    // The commands run on the window's worker thread: each is awaited before the next.
    const auto await = [&window] {
        while (window.busy()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    };
    window.Mn_Sphere_Click();
    await();
    window.Command_HessPan_Click();
    await();
    // The bars' change handlers write the texts and redraw, as after a click on the bar.
    window.findChild<QScrollBar*>("VScroll_Ölçek")->setValue(scale);
    window.findChild<QScrollBar*>("HScroll_X")->setValue(angleX + 90);
    window.findChild<QScrollBar*>("HScroll_Z")->setValue(angleZ + 90);
    window.setFocus();
    QWidget* shown = &window;
    if (plot) {
        window.findChild<QAction*>("Mn_Plot")->trigger();
        shown = window.findChild<panelflow::PlotWindow*>();
    }
    if (picker) window.Mn_ReadData_Click();
    if (body) {
        window.findChild<QAction*>("Mn_BodyAndSolution")->trigger();
        shown = window.findChild<QWidget*>("BodyWindow");
    }
    QApplication::processEvents();
    if (ui.failed || shown == nullptr) return 1;
    if (!shown->grab().save(png)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(png));
        return 1;
    }
    return 0;
}
