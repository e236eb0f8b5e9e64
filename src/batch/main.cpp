// SPDX-License-Identifier: GPL-3.0-or-later
// panelflow-batch: runs the window's commands without a display, through the same core code.
//
//   panelflow-batch [--ni TEXT] [--nj TEXT] [--stream X,Y,Z] [--no-tables] [--solver NAME] STEP...
//
// Starts Axisym.txt empty in the working directory, as the window does when it opens, then runs
// the steps in order. --ni and --nj stand for the window's two count boxes, --stream sets the
// free stream of the following hess steps; all three may appear between steps. --no-tables,
// --solver and --accuracy apply to every hess step (--solver also to the loads' unit motions). Messages that the
// window would show in a box go to standard error, each beginning with the program's name.
//
// The steps and the options are two tables below; the parser and the usage text (--help) both
// read them, and the manual page is checked against the usage text.

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <csignal>
#include <chrono>
#include <cstdio>
#include <functional>
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
#include "commands/FieldCommand.h"
#include "commands/FreeStreamText.h"
#include "commands/LoadsCommand.h"
#include "commands/Session.h"
#include "results/LoadsReport.h"
#include "results/ResultsFile.h"
#include "results/ResultsFileLock.h"
#include "solver/BlasKernels.h"
#include "solver/HierarchicalSolver.h"
#include "solver/SolverChoice.h"

namespace {

using namespace panelflow;

constexpr std::string_view kProgram = "panelflow-batch";

// Messages go to standard error, one per line, word for word after the program's name;
// warnings carry "warning: " after it.
class StandardErrorInterface : public UserInterface {
public:
    void ShowMessage(const std::string& text) override { std::cerr << kProgram << ": " << text << '\n'; }
    void ShowWarning(const std::string& text) override { std::cerr << kProgram << ": warning: " << text << '\n'; }
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
        if (!shown_ && !solver_.empty())
            std::fprintf(stderr, "\r\033[K%.*s: solver %s\n", static_cast<int>(kProgram.size()), kProgram.data(),
                         solver_.c_str());
        std::fprintf(stderr, "\r\033[K%.*s: %.*s %3d %%", static_cast<int>(kProgram.size()), kProgram.data(),
                     static_cast<int>(stage.size()), stage.data(), percent);
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

using Arguments = std::vector<std::string>;

// A step of the command line. `arguments` names the words that follow it, blank-separated, as
// the usage text shows them; `needs` completes "NAME needs ..." when they are missing. In
// `help`, a line feed starts a continuation line.
struct StepKind {
    std::string_view name;
    std::string_view arguments;
    std::string_view needs;
    std::string_view help;
    bool (*run)(Batch&, const Arguments&);
    bool replacesFile = false;  // an export, which cannot be undone once it has replaced its file
};

bool RunSphere(Batch& batch, const Arguments&) {
    return SphereCommand(batch.session, batch.niText, batch.njText, batch.ui);
}

bool RunProfile(Batch& batch, const Arguments& path) {
    return ProfileFileCommand(batch.session, path[0], batch.niText, batch.njText, batch.ui);
}

bool RunCorners(Batch& batch, const Arguments& path) {
    return CornerFileCommand(batch.session, path[0], batch.ui);
}

bool RunHess(Batch& batch, const Arguments&) {
    SolverChoice choice;
    if (ChooseSolver(batch.session.model, batch.hess.solver, batch.hess.writeTables, choice))
        batch.progress.SetSolver(choice.Text());
    // A zero pivot still completes the command (its sections are written), but the run stops
    // there with a failure status: all-zero strengths are no answer to build on.
    const HessCommandResult result = HessCommand(batch.session, batch.ui, &batch.progress, batch.vinf, batch.hess);
    return result.done && !result.zeroPivot;
}

bool RunCsv(Batch& batch, const Arguments& path) {
    return ExportSurfaceCommand(batch.session, path[0], SurfaceFormat::Csv, batch.ui, &batch.progress);
}

bool RunVtk(Batch& batch, const Arguments& path) {
    return ExportSurfaceCommand(batch.session, path[0], SurfaceFormat::Vtk, batch.ui, &batch.progress);
}

// The JSON file, and the table on standard output for the person who ran it.
bool RunLoads(Batch& batch, const Arguments& path) {
    BodyLoads loads;
    if (!LoadsFileCommand(batch.session, path[0], batch.ui, &batch.progress, {batch.hess.solver, {}}, loads))
        return false;
    std::cout << LoadsTableText(loads) << std::flush;
    return true;
}

bool RunField(Batch& batch, const Arguments& specAndPath) {
    return FieldCommand(batch.session, specAndPath[0], specAndPath[1], batch.ui, &batch.progress);
}

constexpr StepKind kSteps[] = {
    {"sphere", "", "", "build the sphere of diameter 1 with the current NI and NJ", RunSphere},
    {"profile", "PATH", "a file path",
     "build a body of revolution from a profile file (*.BodyFoil);\n"
     "when its point count differs from NI + 1, NI becomes that\n"
     "count minus 1",
     RunProfile},
    {"corners", "PATH", "a file path",
     "build a body from a corner-point file (*.Coords), which brings\n"
     "NI and NJ",
     RunCorners},
    {"hess", "", "", "apply the Hess panel method with the current free stream", RunHess},
    {"csv", "PATH", "a file path", "write the solution per panel to a CSV file (after hess)", RunCsv, true},
    {"vtk", "PATH", "a file path",
     "write the panels and their solution to a VTK PolyData file\n"
     "(.vtp) (after hess)",
     RunVtk, true},
    {"loads", "PATH", "a file path",
     "write the pressure force and moment, the added masses and the\n"
     "Munk moment to a JSON file and show them as a table (after\n"
     "hess)",
     RunLoads, true},
    {"field", "POINTS OUT", "the points (a file or a box) and a file path",
     "write the flow off the body at POINTS (a CSV file with the\n"
     "header x,y,z, or a box X0:X1:NX,Y0:Y1:NY,Z0:Z1:NZ) to OUT, a\n"
     ".csv table or a .vts grid of the box for streamlines (after\n"
     "hess)",
     RunField, true},
};

// What an option does: to the steps after it, applied when the run reaches its place, or to
// every step wherever it stands, applied before the first.
using Setting = std::function<void(Batch&)>;

// An option: a flag (`value` empty) or one that takes a value ("--name VALUE" or
// "--name=VALUE"), read when the command line is; a value it refuses is a usage error with the
// refusal's text. `needs` completes "--name needs ..." when the value is missing. In `needs`
// and `help`, "{solvers}" stands for the names of the solvers.
struct OptionKind {
    std::string_view name;
    std::string_view value;
    std::string_view needs;
    std::string_view help;
    bool everyStep;
    Status (*read)(const std::string& value, Setting& setting);
};

Status ReadNi(const std::string& text, Setting& setting) {
    setting = [text](Batch& batch) { batch.niText = text; };
    return Status::Ok();
}

Status ReadNj(const std::string& text, Setting& setting) {
    setting = [text](Batch& batch) { batch.njText = text; };
    return Status::Ok();
}

Status ReadStream(const std::string& text, Setting& setting) {
    FreeStream vinf{};
    Status read = ReadFreeStream(text, vinf);
    if (read) {
        setting = [vinf, text](Batch& batch) {
            batch.vinf = vinf;
            batch.hess.streamText = text;
        };
    }
    return read;
}

Status ReadNoTables(const std::string&, Setting& setting) {
    setting = [](Batch& batch) { batch.hess.writeTables = false; };
    return Status::Ok();
}

Status ReadSolver(const std::string& name, Setting& setting) {
    SolverKind kind{};
    if (!ReadSolverName(name, kind))
        return Status::Fail("unknown solver \"" + PrintableText(name) + "\"; the solvers are " + SolverNames());
    setting = [kind](Batch& batch) { batch.hess.solver = kind; };
    return Status::Ok();
}

Status ReadAccuracy(const std::string& text, Setting& setting) {
    double accuracy = 0.0;
    const auto [at, error] = std::from_chars(text.data(), text.data() + text.size(), accuracy);
    if (error != std::errc() || at != text.data() + text.size() ||
        !(accuracy >= kTightestAccuracy && accuracy <= kLoosestAccuracy))
        return Status::Fail("--accuracy needs a number from 1e-12 to 0.1; \"" + PrintableText(text) + "\" is not one");
    setting = [accuracy](Batch& batch) { batch.hess.accuracy = accuracy; };
    return Status::Ok();
}

constexpr OptionKind kOptions[] = {
    {"--ni", "TEXT", "a text",
     "the text of the NI box (default \"4\"), read by the\n"
     "leading-number rule",
     false, ReadNi},
    {"--nj", "TEXT", "a text", "the text of the NJ box (default \"4\")", false, ReadNj},
    {"--stream", "X,Y,Z", "X,Y,Z", "the free stream of the following hess steps (default 1,0,0)", false, ReadStream},
    {"--no-tables", "", "",
     "every hess step leaves the three coefficient tables out of the\n"
     "results file",
     true, ReadNoTables},
    {"--solver", "NAME", "a name: {solvers}",
     "solve every hess step with this solver ({solvers}) instead of\n"
     "the one chosen for the body and the tables, and the unit motions\n"
     "of every loads step; the progress line says which solver\n"
     "solves and why",
     true, ReadSolver},
    {"--accuracy", "EPS", "a number from 1e-12 to 0.1",
     "the hierarchical solver's accuracy, from 1e-12 to 0.1 (default\n"
     "1e-7): the relative error of its compressed blocks",
     true, ReadAccuracy},
};

struct ExitStatus {
    std::string_view status;
    std::string_view meaning;
};

constexpr ExitStatus kExitStatuses[] = {
    {"0", "every step succeeded (a warning about a suspect body, on standard error,\n"
          "included)"},
    {"1", "a step was refused (its message is on standard error, later steps are not\n"
          "run), the elimination met a zero pivot, or another program was writing\n"
          "the folder's results file"},
    {"2", "a usage error"},
    {"130", "SIGINT stopped a step (the results file is then as it was before that\n"
            "step)"},
    {"143", "SIGTERM stopped a step (likewise)"},
    {"128+N", "another stop signal, number N, stopped a step (likewise): SIGHUP,\n"
              "SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGPIPE, SIGXCPU, SIGVTALRM,\n"
              "SIGPROF"},
};

std::string WithSolverNames(std::string_view text) {
    std::string expanded(text);
    constexpr std::string_view kSolvers = "{solvers}";
    if (const std::size_t at = expanded.find(kSolvers); at != std::string::npos)
        expanded.replace(at, kSolvers.size(), SolverNames());
    return expanded;
}

// Appends "  TERM" padded to `column`, then `help` with its continuation lines indented as much.
void AppendEntry(std::string& text, std::string_view term, std::string_view help, std::size_t column = 18) {
    text += "  ";
    text += term;
    text.append(term.size() + 2 < column ? column - term.size() - 2 : 1, ' ');
    for (const char c : WithSolverNames(help)) {
        text += c;
        if (c == '\n') text.append(column, ' ');
    }
    text += '\n';
}

std::string UsageText() {
    std::string text = "Usage: panelflow-batch";
    for (const OptionKind& option : kOptions) {
        text += " [";
        text += option.name;
        if (!option.value.empty()) text += ' ' + std::string(option.value);
        text += ']';
    }
    text +=
        " STEP...\n"
        "\n"
        "Starts the results file Axisym.txt empty in the working directory, then runs\n"
        "the steps in order, as the window's commands would.\n"
        "\n"
        "Steps:\n";
    for (const StepKind& step : kSteps) {
        std::string term(step.name);
        if (!step.arguments.empty()) term += ' ' + std::string(step.arguments);
        AppendEntry(text, term, step.help);
    }
    text += "\nOptions (may stand between steps; --name=VALUE works as well as --name VALUE):\n";
    for (const OptionKind& option : kOptions) {
        std::string term(option.name);
        if (!option.value.empty()) term += ' ' + std::string(option.value);
        AppendEntry(text, term, option.help);
    }
    AppendEntry(text, "--", "ends the options: every word after it is a step or a step's\nargument");
    AppendEntry(text, "-h, --help", "show this text");
    AppendEntry(text, "--version", "show the version and the commit this program was built from");
    text += "\nExit status:\n";
    for (const ExitStatus& exit : kExitStatuses) AppendEntry(text, exit.status, exit.meaning, 8);
    return text;
}

// One entry of the parsed command line, run in order: a step with its arguments, or a setting
// for the steps after it.
struct Action {
    const StepKind* step = nullptr;
    Arguments arguments;
    Setting setting;
};

// The step during which a stop signal came is undone (the command undoes itself when it hears
// the signal in time; a step that finished anyway is cut back here), the rest are not run. An
// export that has replaced its file cannot be undone, and says so.
int Interrupted(int signal, const StepKind& step, bool done, ResultsTransaction& transaction) {
    std::cerr << kProgram << ": " << SignalName(signal);
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
    std::cerr << kProgram << ": " << problem << "\nTry '" << kProgram << " --help' for more information.\n";
    return 2;
}

std::size_t WordCount(std::string_view words) {
    return words.empty() ? 0 : std::count(words.begin(), words.end(), ' ') + 1;
}

}  // namespace

int main(int argc, char** argv) try {
    IgnoreFileSizeSignal();
    SelectBlasKernels(argv);
    CatchStopSignals();
    Batch batch;
    std::vector<Action> actions;
    bool optionsEnded = false;
    for (int a = 1; a < argc; ++a) {
        const std::string word = argv[a];
        if (!optionsEnded && word == "--") {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && word.size() > 1 && word[0] == '-') {
            const std::size_t equals = word.find('=');
            const std::string name = word.substr(0, equals);
            const bool valueGiven = equals != std::string::npos && word.starts_with("--");
            if (name == "--help" || name == "-h" || name == "--version") {
                if (valueGiven) return UsageError(name + " takes no value");
                if (name == "--version") {
                    std::cout << VersionLine(kProgram);
                } else {
                    std::cout << UsageText();
                }
                return 0;
            }
            const OptionKind* option = nullptr;
            for (const OptionKind& kind : kOptions)
                if (valueGiven ? kind.name == name : kind.name == word) option = &kind;
            if (!option) return UsageError("unknown step or option \"" + PrintableText(word) + "\"");
            std::string value;
            if (option->value.empty()) {
                if (valueGiven) return UsageError(name + " takes no value");
            } else if (valueGiven) {
                value = word.substr(equals + 1);
            } else if (a + 1 < argc) {
                value = argv[++a];
            } else {
                return UsageError(word + " needs " + WithSolverNames(option->needs));
            }
            Action action;
            const Status read = option->read(value, action.setting);
            if (!read) return UsageError(read.message);
            if (option->everyStep) {
                action.setting(batch);
            } else {
                actions.push_back(std::move(action));
            }
            continue;
        }
        const StepKind* step = nullptr;
        for (const StepKind& kind : kSteps)
            if (kind.name == word) step = &kind;
        if (!step) return UsageError("unknown step or option \"" + PrintableText(word) + "\"");
        Action action{step, {}, {}};
        for (std::size_t n = WordCount(step->arguments); n > 0; --n) {
            if (a + 1 >= argc) return UsageError(word + " needs " + std::string(step->needs));
            action.arguments.push_back(argv[++a]);
        }
        actions.push_back(std::move(action));
    }
    if (std::none_of(actions.begin(), actions.end(), [](const Action& action) { return action.step; }))
        return UsageError("no step given");

    // Held until the program ends: no other program may write this folder's results file meanwhile.
    ResultsFileLock lock;
    if (const Status locked = lock.Take(batch.session.shell.OutFile); !locked) {
        batch.ui.ShowMessage(locked.message);
        return 1;
    }
    if (!StartCommand(batch.session, batch.ui)) return 1;
    if (const int signal = CaughtStopSignal()) return 128 + signal;
    for (const Action& action : actions) {
        if (!action.step) {
            action.setting(batch);
            continue;
        }
        ResultsTransaction transaction(batch.session.shell.OutFile);
        batch.progress.BeginStep();
        const bool done = action.step->run(batch, action.arguments);
        batch.progress.EndStep();
        if (const int signal = CaughtStopSignal()) return Interrupted(signal, *action.step, done, transaction);
        if (!done) return 1;
    }
    return 0;
} catch (const std::bad_alloc&) {
    // The commands turn a failed allocation into their own message and roll back; this is the
    // last guard for one outside them (the program's own bookkeeping).
    std::cerr << kProgram << ": out of memory; the results file holds the steps completed before.\n";
    return 1;
}
