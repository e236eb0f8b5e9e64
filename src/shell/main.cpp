// panelflow: the window program. Takes the working directory's results file Axisym.txt for
// itself (one program at a time per folder), starts it empty and shows the main window.

#include <QApplication>
#include <clocale>
#include <cstdio>
#include <string_view>

#include "Form1.h"
#include "MessageBoxUserInterface.h"
#include "WatchStopSignals.h"
#include "base/ProcessLimits.h"
#include "base/Version.h"
#include "results/ResultsFileLock.h"
#include "solver/BlasKernels.h"

int main(int argc, char* argv[]) {
    // Answered before the toolkit starts, so that it works without a display.
    for (int a = 1; a < argc; ++a) {
        if (std::string_view(argv[a]) == "--version") {
            std::fputs(panelflow::VersionLine("panelflow").c_str(), stdout);
            return 0;
        }
    }
    panelflow::IgnoreFileSizeSignal();
    panelflow::SelectBlasKernels(argv);
    QApplication app(argc, argv);
    // The toolkit adopts the user's locale; the core's numbers never depend on it, and no C
    // library routine may read a decimal comma either.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("panelflow");
    panelflow::WatchStopSignals();

    panelflow::MessageBoxUserInterface ui;
    // Held until the program ends: no other program may write this folder's results file meanwhile.
    panelflow::ResultsFileLock lock;
    if (const panelflow::Status locked = lock.Take(std::string(panelflow::kResultsFileName)); !locked) {
        std::fprintf(stderr, "panelflow: %s\n", locked.message.c_str());
        ui.ShowMessage(locked.message);
        return panelflow::ExitStatusAfterStopSignal(1);
    }
    panelflow::Form1 window(ui);
    ui.SetParent(&window);
    window.show();
    return panelflow::ExitStatusAfterStopSignal(QApplication::exec());
}
