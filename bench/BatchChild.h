// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs panelflow-batch as a child process in a directory: its exit status, wall seconds, processor
// seconds (user and system, of all its threads) and peak resident memory. The child is started by
// posix_spawn, whose peak memory counts the peak of this process as well, so a benchmark runs its
// children before it allocates anything large itself.

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace panelflow::bench {

struct BatchRun {
    bool ok = false;  // exit status 0
    double seconds = 0.0, processorSeconds = 0.0, peakBytes = 0.0;
};

// The batch program built beside the benchmark (build/src/panelflow-batch).
inline std::string BatchProgram() {
    namespace fs = std::filesystem;
    return (fs::canonical("/proc/self/exe").parent_path().parent_path() / "src" / "panelflow-batch").string();
}

inline BatchRun RunBatchChild(const std::filesystem::path& directory, std::vector<std::string> arguments) {
    const std::string program = BatchProgram();
    arguments.insert(arguments.begin(), program);
    std::vector<char*> argv;
    for (std::string& word : arguments) argv.push_back(word.data());
    argv.push_back(nullptr);

    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(directory);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    const int spawned = posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ);
    std::filesystem::current_path(previous);
    if (spawned != 0) return {};
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    BatchRun run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.processorSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                           1e-6 * static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
    run.peakBytes = 1024.0 * static_cast<double>(usage.ru_maxrss);
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

}  // namespace panelflow::bench
