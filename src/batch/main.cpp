// panelflow-batch: runs the window's commands without a display, through the same core code.
//
//   panelflow-batch [--ni TEXT] [--nj TEXT] [--stream X,Y,Z] [--no-tables] [--solver NAME]
//                   [--accuracy EPS] STEP...
//
// Starts Axisym.txt empty in the working directory, as the window does when it opens, then runs
// the steps in order. --ni and --nj stand for the window's two count boxes, --stream sets the
// free stream of the following hess steps; all three may appear between steps. --no-tables,
// --solver and --accuracy apply to every hess step. Messages that
// the window would show in a box go to standard error.

#include <unistd.h>

#include <charconv>
#include <csignal>
#include <cstring>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "base/PrintableText.h"
#include "base/ProcessLimits.h"
#include "base/StopSignals.h"
#include "base/Version.h"
#include "commands/Commands.h"
#include "commands/ExportCommand.h"
#include "commands/FreeStreamText.h"
#include "commands/Session.h"
#include "results/ResultsFile.h"
#include "results/ResultsFileLock.h"
#include "solver/BlasKernels.h"

namespace {

using namespace panelflow;

constexpr std::string_view kUsage =
    "Usage: panelflow-batch [--ni TEXT] [--nj TEXT] [--stream X,Y,Z] [--no-tables] [--solver NAME]\n"
    "                       [--accuracy EPS] STEP...\n"
    "\n"
    "Starts the results file Axisym.txt empty in the working directory, then runs the steps in\n"
    "order, as the window's commands would.\n"
    "\n"
    "Steps:\n"
    "  sphere          build the sphere of diameter 1 with the current NI and NJ\n"
    "  profile PATH    build a body of revolution from a profile file (*.BodyFoil);\n"
    "                  when its point count differs from NI + 1, NI becomes the count - 1\n"
    "  corners PATH    build a body from a corner-point file (*.Coords), which brings NI and NJ\n"
    "  hess            apply the Hess panel method with the current free stream\n"
    "  csv PATH        write the solution per panel to a CSV file (after hess)\n"
    "  vtk PATH        write the panels and their solution to a VTK PolyData file (.vtp)\n"
    "                  (after hess)\n"
    "\n"
    "Options (may stand between steps):\n"
    "  --ni TEXT       the text of the NI box (default \"4\"), read by the leading-number rule\n"
    "  --nj TEXT       the text of the NJ box (default \"4\")\n"
    "  --stream X,Y,Z  the free stream of the following hess steps (default 1,0,0)\n"
    "  --no-tables     every hess step leaves the three coefficient tables out of the results file\n"
    "  --solver NAME   solve every hess step with this solver (dense, symmetric or hierarchical)\n"
    "                  instead of the one chosen for the body and the tables; the progress line\n"
    "                  says which solves and why\n"
    "  --accuracy EPS  the hierarchical solver's accuracy, from 1e-12 to 0.1 (default 1e-7):\n"
    "                  the relative error of its compressed blocks\n"
    "  --help          show this text\n"
    "  --version       show the version and the commit this program was built from\n"
    "\n"
    "Exit status: 0 when every step succeeded (a warning about a suspect body, on standard error,\n"
    "included); 1 when a step was refused (its message is on standard error, later steps are not\n"
    "run), the elimination met a zero pivot or another program was writing the folder's results\n"
    "file; 2 for a usage error; 128 + the signal's number when SIGHUP, SIGINT, SIGQUIT, SIGTERM,\n"
    "SIGUSR1, SIGUSR2, SIGALRM, SIGPIPE, SIGXCPU, SIGVTALRM or SIGPROF stopped a step (the results\n"
    "file is then as it was before that step; 130 for SIGINT, 143 for SIGTERM).\n";

// Messages go to standard error, one per line, word for word; warnings begin with "warning: ".
class StandardErrorInterface : public UserInterface {
public:
    void ShowMessage(const std::string& text) override {
        std::cerr << text << '\n';
    }
    void ShowWarning(const std::string& text) override { std::cerr << "warning: " << text << '\n'; }
};

// On a terminal, shows the progress of a step once it has run for more than a second. A caught
// stop signal (base/StopSignals.h) asks the step to stop.
class TerminalProgress : public Progress {
public:
    bool StopRequested() const override { return CaughtStopSignal() != 0; }

    TerminalProgress() : enabled_(::isatty(STDERR_FILENO) == 1) {}

    void BeginStep() {
        start_ = std::chrono::steady_clock::now();
        shown_ = false;
        solver_.clear();
    }
    // The solver of a hess step and why, said once above its progress line.
    void SetSolver(std::string text) { solver_ = std::move(text); }
    void EndStep() {
        if (shown_) std::fputs("\r\033[K", stderr);
        shown_ = false;
    }
    void Report(std::string_view stage, double fraction) override {
        if (!enabled_) return;
        const auto elapsed = std::chrono::steady_clock::now() - start_;
        if (elapsed < std::chrono::seconds(1)) return;
        const int percent = static_cast<int>(fraction * 100.0 + 0.5);
        if (!shown_ && !solver_.empty()) std::fprintf(stderr, "\r\033[Ksolver %s\n", solver_.c_str());
        std::fprintf(stderr, "\r\033[K%.*s %3d %%", static_cast<int>(stage.size()), stage.data(), percent);
        std::fflush(stderr);
        shown_ = true;
    }

private:
    bool enabled_;
    bool shown_ = false;
    std::string solver_;
    std::chrono::steady_clock::time_point start_;
};

struct Batch {
    Session session;
    std::string niText = "4";
    std::string njText = "4";
    FreeStream vinf = kUnitStreamAlongX;
    HessSettings hess;
    StandardErrorInterface ui;
    TerminalProgress progress;
};

// A step of the command line; `argument` is its PATH where the step takes one.
struct StepKind {
    std::string_view name;
    bool takesPath;
    bool (*run)(Batch&, const std::string& argument);
    bool replacesFile = false;  // an export, which cannot be undone once it has replaced its file
};

bool RunSphere(Batch& batch, const std::string&) {
    return SphereCommand(batch.session, batch.niText, batch.njText, batch.ui);
}

bool RunProfile(Batch& batch, const std::string& path) {
    return ProfileFileCommand(batch.session, path, batch.niText, batch.njText, batch.ui);
}

bool RunCorners(Batch& batch, const std::string& path) {
    return CornerFileCommand(batch.session, path, batch.ui);
}

bool RunHess(Batch& batch, const std::string&) {
    SolverChoice choice;
    if (ChooseSolver(batch.session.model, batch.hess.solver, batch.hess.writeTables, choice))
        batch.progress.SetSolver(choice.Text());
    // A zero pivot still completes the command (its sections are written), but the run stops
    // there with a failure status: all-zero strengths are no answer to build on.
    const HessCommandResult result = HessCommand(batch.session, batch.ui, &batch.progress, batch.vinf, batch.hess);
    return result.done && !result.zeroPivot;
}

bool RunCsv(Batch& batch, const std::string& path) {
    return ExportSurfaceCommand(batch.session, path, SurfaceFormat::Csv, batch.ui, &batch.progress);
}

bool RunVtk(Batch& batch, const std::string& path) {
    return ExportSurfaceCommand(batch.session, path, SurfaceFormat::Vtk, batch.ui, &batch.progress);
}

constexpr StepKind kSteps[] = {
    {"sphere", false, RunSphere},
    {"profile", true, RunProfile},
    {"corners", true, RunCorners},
    {"hess", false, RunHess},
    {"csv", true, RunCsv, true},
    {"vtk", true, RunVtk, true},
};

// One entry of the parsed command line: a step, a new text for one of the count boxes, or a
// new free stream.
struct Action {
    const StepKind* step = nullptr;
    std::string* box = nullptr;
    std::string argument;
    bool setsStream = false;
    FreeStream stream{};
};

// The step during which a stop signal came is undone (the command undoes itself when it hears
// the signal in time; a step that finished anyway is cut back here), the rest are not run. An
// export that has replaced its file cannot be undone, and says so.
int Interrupted(int signal, const StepKind& step, bool done, ResultsTransaction& transaction) {
    std::cerr << "panelflow-batch: " << SignalName(signal);
    if (done && step.replacesFile) {
        std::cerr << " after the step \"" << step.name << "\" had written its file: the steps after it were not run.\n";
    } else {
        transaction.Rollback();
        std::cerr << " during the step \"" << step.name << "\": the step was abandoned, "
                  << (step.replacesFile ? std::string("its file was left as it was")
                                        : std::string(kResultsFileName) + " is as it was before it")
                  << ", and the steps after it were not run.\n";
    }
    return 128 + signal;
}

int UsageError(const std::string& problem) {
    std::cerr << "panelflow-batch: " << problem << "\n\n" << kUsage;
    return 2;
}

}  // namespace

int main(int argc, char** argv) try {
    IgnoreFileSizeSignal();
    SelectBlasKernels(argv);
    CatchStopSignals();
    Batch batch;
    std::vector<Action> actions;
    for (int a = 1; a < argc; ++a) {
        const std::string word = argv[a];
        if (word == "--help" || word == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (word == "--version") {
            std::cout << VersionLine("panelflow-batch");
            return 0;
        }
        if (word == "--ni" || word == "--nj") {
            if (a + 1 >= argc) return UsageError(word + " needs a text");
            actions.push_back({nullptr, word == "--ni" ? &batch.niText : &batch.njText, argv[++a]});
            continue;
        }
        if (word == "--no-tables") {
            batch.hess.writeTables = false;
            continue;
        }
        if (word == "--solver") {
            if (a + 1 >= argc) return UsageError(word + " needs a name: " + SolverNames());
            SolverKind kind{};
            if (!ReadSolverName(argv[++a], kind))
                return UsageError("unknown solver \"" + std::string(argv[a]) + "\"; the solvers are " + SolverNames());
            batch.hess.solver = kind;
            continue;
        }
        if (word == "--accuracy") {
            double& accuracy = batch.hess.accuracy;
            const char* text = a + 1 < argc ? argv[++a] : "";
            const char* end = text + std::strlen(text);
            const auto [at, error] = std::from_chars(text, end, accuracy);
            if (error != std::errc() || at != end || !(accuracy >= kTightestAccuracy && accuracy <= kLoosestAccuracy))
                return UsageError(word + " needs a number from 1e-12 to 0.1");
            continue;
        }
        if (word == "--stream") {
            if (a + 1 >= argc) return UsageError(word + " needs X,Y,Z");
            Action action{nullptr, nullptr, argv[++a], true};
            const Status read = ReadFreeStream(action.argument, action.stream);
            if (!read) return UsageError(read.message);
            actions.push_back(action);
            continue;
        }
        const StepKind* found = nullptr;
        for (const StepKind& kind : kSteps)
            if (kind.name == word) found = &kind;
        if (!found) return UsageError("unknown step or option \"" + PrintableText(word) + "\"");
        Action action{found, nullptr, {}};
        if (found->takesPath) {
            if (a + 1 >= argc) return UsageError(word + " needs a file path");
            action.argument = argv[++a];
        }
        actions.push_back(std::move(action));
    }
    if (actions.empty()) return UsageError("no step given");

    // Held until the program ends: no other program may write this folder's results file meanwhile.
    ResultsFileLock lock;
    if (const Status locked = lock.Take(batch.session.shell.OutFile); !locked) {
        batch.ui.ShowMessage(locked.message);
        return 1;
    }
    if (!StartCommand(batch.session, batch.ui)) return 1;
    if (const int signal = CaughtStopSignal()) return 128 + signal;
    for (const Action& action : actions) {
        if (action.box) {
            *action.box = action.argument;
            continue;
        }
        if (action.setsStream) {
            batch.vinf = action.stream;
            batch.hess.streamText = action.argument;
            continue;
        }
        ResultsTransaction transaction(batch.session.shell.OutFile);
        batch.progress.BeginStep();
        const bool done = action.step->run(batch, action.argument);
        batch.progress.EndStep();
        if (const int signal = CaughtStopSignal()) return Interrupted(signal, *action.step, done, transaction);
        if (!done) return 1;
    }
    return 0;
} catch (const std::bad_alloc&) {
    // The commands turn a failed allocation into their own message and roll back; this is the
    // last guard for one outside them (the program's own bookkeeping).
    std::cerr << "panelflow-batch: out of memory; the results file holds the steps completed before.\n";
    return 1;
}
