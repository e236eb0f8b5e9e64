// SPDX-License-Identifier: GPL-3.0-or-later
// Two programs started in one folder: the second is refused at its start, with a message naming
// the folder and the first program, and the first one's results file is never touched by it.

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "support/BatchRunner.h"
#include "support/TempDir.h"

namespace panelflow {
namespace {

using testing::ExitStatus;
using testing::ReadFile;
using testing::RunBatch;
using testing::Snapshot;
using testing::StartProgram;
using testing::TempDir;
using testing::WaitUntil;

// Whether every thread of `pid` has stopped: SIGSTOP reaches the threads one by one, and a writer
// thread may still add a line after kill() has returned.
bool AllThreadsStopped(pid_t pid) {
    const std::filesystem::path tasks = "/proc/" + std::to_string(pid) + "/task";
    std::error_code gone;
    for (const auto& task : std::filesystem::directory_iterator(tasks, gone)) {
        std::ifstream stat(task.path() / "stat");
        std::string line;
        std::getline(stat, line);
        const auto end = line.rfind(')');
        if (end == std::string::npos || end + 2 >= line.size() || line[end + 2] != 'T') return false;
    }
    return !gone;
}

// A batch program solving a 48 x 48 sphere in `dir`, held still (SIGSTOP) once it has begun to
// write, and let go when the test is done with it.
class RunningBatch {
public:
    explicit RunningBatch(const TempDir& dir) {
        pid_ = StartProgram(dir, {"--ni", "48", "--nj", "48", "sphere", "hess"}, dir.File(".first-stderr"));
        WaitUntil([&] {
            std::error_code missing;
            const auto bytes = std::filesystem::file_size(dir.File("Axisym.txt"), missing);
            return !missing && bytes > 0;
        });
        ::kill(pid_, SIGSTOP);
        WaitUntil([&] { return AllThreadsStopped(pid_); });
    }
    pid_t pid() const { return pid_; }
    // Lets it run to its end; its exit status.
    int Finish() {
        ::kill(pid_, SIGCONT);
        return ExitStatus(pid_);
    }

private:
    pid_t pid_ = -1;
};

std::string Refusal(const TempDir& dir, pid_t first) {
    return "Another program (panelflow-batch, process " + std::to_string(first) +
           ") is writing the results file Axisym.txt in the folder " + std::filesystem::canonical(dir.path()).string() +
           "; only one program at a time may write there, so this one changed nothing. Start it in another folder, "
           "or once the other has ended.\n";
}

TEST(OneProgramPerFolder, ASecondBatchProgramIsRefusedAndTheFirstFinishesItsOwnFile) {
    TempDir reference, dir;
    ASSERT_EQ(RunBatch(reference, "--ni 48 --nj 48 sphere hess").status, 0);
    RunningBatch first(dir);
    ASSERT_GT(first.pid(), 0);
    const auto before = Snapshot(dir.path());
    const auto second = RunBatch(dir, "sphere hess");
    EXPECT_EQ(second.status, 1);
    EXPECT_EQ(second.errors, "panelflow-batch: " + Refusal(dir, first.pid()));
    EXPECT_TRUE(Snapshot(dir.path()) == before) << "the second program touched the folder";
    TempDir elsewhere;
    EXPECT_EQ(RunBatch(elsewhere, "sphere hess csv " + dir.File("Axisym.txt")).status, 1);
    EXPECT_TRUE(Snapshot(dir.path()) == before) << "an export from another folder replaced the file being written";

    EXPECT_EQ(first.Finish(), 0);
    EXPECT_TRUE(ReadFile(dir.File("Axisym.txt")) == ReadFile(reference.File("Axisym.txt")));
    EXPECT_EQ(RunBatch(dir, "sphere").status, 0) << "the lock ends with the program";
}

#ifdef PANELFLOW_WINDOW_PROGRAM
// The window refused shows its message in a box (and on standard error) and waits for OK; a stop
// signal closes the box and the program then exits with 128 + n. An idle window does the same.
TEST(OneProgramPerFolder, TheWindowIsRefusedBesideABatchProgramAndEndsOnAStopSignal) {
    TempDir dir;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    RunningBatch first(dir);
    ASSERT_GT(first.pid(), 0);
    const auto before = Snapshot(dir.path());
    const pid_t window = StartProgram(dir, {}, dir.File(".window-stderr"), PANELFLOW_WINDOW_PROGRAM);
    const std::string expected = "panelflow: " + Refusal(dir, first.pid());
    WaitUntil([&] { return ReadFile(dir.File(".window-stderr")).find(expected) != std::string::npos; });
    EXPECT_NE(ReadFile(dir.File(".window-stderr")).find(expected), std::string::npos)
        << ReadFile(dir.File(".window-stderr"));
    ::kill(window, SIGTERM);
    EXPECT_EQ(ExitStatus(window), 128 + SIGTERM);
    EXPECT_TRUE(Snapshot(dir.path()) == before) << "the window touched the folder";
    EXPECT_EQ(first.Finish(), 0);

    TempDir alone;
    const pid_t idle = StartProgram(alone, {}, alone.File(".window-stderr"), PANELFLOW_WINDOW_PROGRAM);
    WaitUntil([&] { return std::filesystem::exists(alone.File("Axisym.txt")); });
    ::kill(idle, SIGHUP);
    EXPECT_EQ(ExitStatus(idle), 128 + SIGHUP);
}
#endif

}  // namespace
}  // namespace panelflow
