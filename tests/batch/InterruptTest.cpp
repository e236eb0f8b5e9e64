// SIGINT or SIGTERM during a long step of the batch program: the step is abandoned, the results
// file is exactly as it was before it, and the exit status says which signal came.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/BatchRunner.h"
#include "support/TempDir.h"

extern char** environ;

namespace panelflow {
namespace {

using testing::ReadFile;
using testing::TempDir;

// Starts the batch program in `dir` with every signal at its default disposition (a test run
// from a background job would otherwise hand SIGINT down ignored).
pid_t StartBatch(const TempDir& dir, const std::vector<std::string>& arguments) {
    std::vector<char*> argv{const_cast<char*>(PANELFLOW_BATCH_PROGRAM)};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t all;
    sigfillset(&all);
    posix_spawnattr_setsigdefault(&attributes, &all);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    const std::filesystem::path here = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, argv[0], nullptr, &attributes, argv.data(), environ);
    std::filesystem::current_path(here);
    posix_spawnattr_destroy(&attributes);
    EXPECT_EQ(failed, 0);
    return pid;
}

class Interrupted : public ::testing::TestWithParam<int> {};

TEST_P(Interrupted, HessIsAbandonedAndTheFileIsAsBeforeIt) {
    const std::vector<std::string> sphere{"--ni", "64", "--nj", "64", "sphere"};
    TempDir reference;
    ASSERT_EQ(testing::RunBatch(reference, "--ni 64 --nj 64 sphere").status, 0);
    const std::string beforeHess = ReadFile(reference.File("Axisym.txt"));

    TempDir dir;
    std::vector<std::string> withHess = sphere;
    withHess.push_back("hess");
    const pid_t pid = StartBatch(dir, withHess);
    // Once the file has grown past the sphere's sections, the Hess command is writing its
    // coefficient tables, with the elimination still ahead.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    const auto size = [&dir] {
        std::error_code missing;
        const auto bytes = std::filesystem::file_size(dir.File("Axisym.txt"), missing);
        return missing ? 0 : bytes;
    };
    while (size() <= beforeHess.size() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    ASSERT_EQ(kill(pid, GetParam()), 0);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << "the program must exit, not die of the signal";
    EXPECT_EQ(WEXITSTATUS(status), 128 + GetParam());
    EXPECT_TRUE(ReadFile(dir.File("Axisym.txt")) == beforeHess) << "the file is cut back to before the step";
}

INSTANTIATE_TEST_SUITE_P(Signals, Interrupted, ::testing::Values(SIGINT, SIGTERM),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(info.param == SIGINT ? "SIGINT" : "SIGTERM");
                         });

// Without the tables the file does not grow while the symmetric solver works: the signal comes
// a moment after the sphere's sections are complete.
TEST(InterruptedWithoutTables, SymmetricHessIsAbandonedAndTheFileIsAsBeforeIt) {
    TempDir reference;
    ASSERT_EQ(testing::RunBatch(reference, "--ni 600 --nj 600 sphere").status, 0);
    const auto beforeHess = std::filesystem::file_size(reference.File("Axisym.txt"));
    TempDir dir;
    const pid_t pid = StartBatch(dir, {"--no-tables", "--ni", "600", "--nj", "600", "sphere", "hess"});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    std::error_code missing;
    while (std::filesystem::file_size(dir.File("Axisym.txt"), missing) != beforeHess &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_EQ(kill(pid, SIGINT), 0);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 128 + SIGINT);
    EXPECT_TRUE(ReadFile(dir.File("Axisym.txt")) == ReadFile(reference.File("Axisym.txt")));
}

TEST(BatchProgram, ASphereTooFineToSolveBuildsAndItsHessIsRefusedLeavingItsSections) {
    TempDir geometry, both;
    ASSERT_EQ(testing::RunBatch(geometry, "--ni 200 --nj 200 sphere").status, 0);
    const auto run = testing::RunBatch(both, "--ni 200 --nj 200 sphere hess");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("influence matrices need"), std::string::npos) << run.errors;
    EXPECT_TRUE(ReadFile(both.File("Axisym.txt")) == ReadFile(geometry.File("Axisym.txt")));
}

}  // namespace
}  // namespace panelflow
