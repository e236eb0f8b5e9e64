#pragma once
// Runs the built panelflow-batch in a directory and collects its exit status and standard error.

#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "support/TempDir.h"

namespace panelflow::testing {

struct BatchRun {
    int status = -1;
    std::string errors;
    std::string output;
};

// `arguments` is pasted into a shell command line as it stands; `environment` (e.g.
// "LANG=tr_TR.UTF-8") is put in front of the program.
inline BatchRun RunBatch(const TempDir& dir, const std::string& arguments, const std::string& environment = "") {
    const std::string errors = dir.File(".stderr");
    const std::string output = dir.File(".stdout");
    const std::string command = "cd '" + dir.path().string() + "' && " + environment + " '" +
                                PANELFLOW_BATCH_PROGRAM + "' " + arguments + " >'" + output + "' 2>'" + errors + "'";
    const int raw = std::system(command.c_str());
    BatchRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.errors = ReadFile(errors);
    run.output = ReadFile(output);
    return run;
}

}  // namespace panelflow::testing
