// SPDX-License-Identifier: GPL-3.0-or-later
// panelflow: the window program. Takes the working directory's results file Axisym.txt for
// itself (one program at a time per folder), starts it empty and shows the main window; a body
// file named on the command line is then read as if it had been chosen in the file picker.
//
//   panelflow [OPTION]... [FILE]
//
// The command line is read before the toolkit starts, so that --help, --version and a usage
// error need no display and open no window.

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <optional>

#include "FilePicker.h"
#include "Form1.h"
#include "MessageBoxUserInterface.h"
#include "WatchStopSignals.h"
#include "base/PrintableText.h"
#include "base/ProcessLimits.h"
#include "base/Version.h"
#include "results/ResultsFileLock.h"
#include "solver/BlasKernels.h"

namespace {

constexpr char kUsage[] =
    "Usage: panelflow [OPTION]... [FILE]\n"
    "\n"
    "Shows the window of panelflow. The results file Axisym.txt is started empty in the\n"
    "working directory. FILE, a body profile (*.BodyFoil) or a panel corner-point file\n"
    "(*.Coords), is read as if it had been chosen in the file picker.\n"
    "\n"
    "Options:\n"
    "  -h, --help     show this text\n"
    "  -v, --version  show the version and the commit this program was built from\n"
    "\n"
    "The toolkit's own options (such as -platform NAME or -style NAME) are accepted as well.\n"
    "\n"
    "Exit status:\n"
    "  0      the window was closed\n"
    "  1      another program was writing the folder's results file\n"
    "  2      a usage error\n"
    "  128+N  a stop signal, number N, ended the program (130 for SIGINT, 143 for\n"
    "         SIGTERM)\n";

// The options that QApplication reads itself; accepted here, and left in place for it.
const char* const kToolkitOptionsWithValue[] = {"platform",        "platformpluginpath", "platformtheme", "plugin",
                                                "qwindowgeometry", "qwindowicon",        "qwindowtitle",  "session",
                                                "display",         "geometry",           "title",         "style",
                                                "stylesheet"};
const char* const kToolkitFlags[] = {"reverse", "widgetcount"};

int UsageError(const QString& problem) {
    std::fprintf(stderr, "panelflow: %s Try 'panelflow --help'.\n",
                 panelflow::PrintableText(problem.toLocal8Bit().toStdString()).c_str());
    return 2;
}

// Reads the command line into `file`; returns the exit status when the program is to end at
// once (--help, --version, a usage error), nothing when the window is to be shown.
std::optional<int> ReadCommandLine(int argc, char* argv[], QString& file) {
    QStringList arguments;
    for (int a = 0; a < argc; ++a) arguments << QString::fromLocal8Bit(argv[a]);
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{"h", "help"});
    const QCommandLineOption version(QStringList{"v", "version"});
    parser.addOptions({help, version});
    for (const char* name : kToolkitOptionsWithValue) parser.addOption(QCommandLineOption(name, "", "value"));
    for (const char* name : kToolkitFlags) parser.addOption(QCommandLineOption(name));
    parser.addPositionalArgument("file", "");

    if (!parser.parse(arguments)) return UsageError(parser.errorText());
    if (parser.isSet(help)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::fputs(panelflow::VersionLine("panelflow").c_str(), stdout);
        return 0;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) return UsageError(QString("One file at most can be opened; %1 were given.").arg(files.size()));
    if (files.size() == 1 && !panelflow::IsBodyFile(files[0]))
        return UsageError(QString("\"%1\" is neither a body profile (*.BodyFoil) nor a corner-point file (*.Coords).")
                              .arg(files[0]));
    if (!files.isEmpty()) file = files[0];
    return std::nullopt;
}

}  // namespace

int main(int argc, char* argv[]) {
    QString file;
    if (const std::optional<int> status = ReadCommandLine(argc, argv, file)) return *status;
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
    // Once the window is up, so that a message about the file has the window to stand on.
    if (!file.isEmpty()) QTimer::singleShot(0, &window, [&window, file] { window.OpenFile(file); });
    return panelflow::ExitStatusAfterStopSignal(QApplication::exec());
}
