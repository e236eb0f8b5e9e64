// panelflow: the window program. Starts the results file Axisym.txt empty in the working
// directory and shows the main window.

#include <QApplication>
#include <clocale>

#include "Form1.h"
#include "MessageBoxUserInterface.h"
#include "base/ProcessLimits.h"
#include "solver/BlasKernels.h"

int main(int argc, char* argv[]) {
    panelflow::IgnoreFileSizeSignal();
    panelflow::SelectBlasKernels(argv);
    QApplication app(argc, argv);
    // The toolkit adopts the user's locale; the core's numbers never depend on it, and no C
    // library routine may read a decimal comma either.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("panelflow");

    panelflow::MessageBoxUserInterface ui;
    panelflow::Form1 window(ui);
    ui.SetParent(&window);
    window.show();
    return QApplication::exec();
}
