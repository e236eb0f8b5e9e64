// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs the built panelflow-batch in a directory and collects its exit status and standard error,
// either to its end (RunBatch) or started in the background to be signalled (StartProgram).

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/TempDir.h"

extern char** environ;

namespace panelflow::testing {

struct BatchRun {
    int status = -1;
    std::string errors;
    std::string output;
};

// `arguments` is pasted into a shell command line as it stands; `environment` (e.g.
// "LANG=tr_TR.UTF-8") is put in front of the program (the batch program unless said otherwise).
inline BatchRun RunBatch(const TempDir& dir, const std::string& arguments, const std::string& environment = "",
                         const std::string& program = PANELFLOW_BATCH_PROGRAM) {
    const std::string errors = dir.File(".stderr");
    const std::string output = dir.File(".stdout");
    const std::string command = "cd '" + dir.path().string() + "' && " + environment + " '" + program + "' " +
                                arguments + " >'" + output + "' 2>'" + errors + "'";
    const int raw = std::system(command.c_str());
    BatchRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.errors = ReadFile(errors);
    run.output = ReadFile(output);
    return run;
}

// Starts `program` (the batch program unless said otherwise) in `dir` with every signal at its
// default disposition and none blocked (a test run from a background job would otherwise hand
// SIGINT down ignored), its standard error going to the file `errors`. Returns its process id.
inline pid_t StartProgram(const TempDir& dir, const std::vector<std::string>& arguments, const std::string& errors,
                          const std::string& program = PANELFLOW_BATCH_PROGRAM) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, STDERR_FILENO, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const std::filesystem::path here = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, argv[0], &files, &attributes, argv.data(), environ);
    std::filesystem::current_path(here);
    posix_spawn_file_actions_destroy(&files);
    posix_spawnattr_destroy(&attributes);
    return failed == 0 ? pid : -1;
}

// Waits until `done()` or two minutes have passed.
template <class Condition>
void WaitUntil(Condition done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (!done() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

// Waits for the program's end: its exit status, or -1 when a signal ended it.
inline int ExitStatus(pid_t pid) {
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace panelflow::testing
