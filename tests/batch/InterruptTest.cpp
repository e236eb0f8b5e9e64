// SPDX-License-Identifier: GPL-3.0-or-later
// A stop signal during a step of the batch program: the step is abandoned, every file is exactly
// as it was before it, the message names the signal and the step, and the exit status is 128 + n.

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "support/BatchRunner.h"
#include "support/TempDir.h"

namespace panelflow {
namespace {

using testing::ExitStatus;
using testing::ReadFile;
using testing::StartProgram;
using testing::TempDir;
using testing::WaitUntil;

std::uintmax_t SizeOf(const std::string& path) {
    std::error_code missing;
    const auto bytes = std::filesystem::file_size(path, missing);
    return missing ? 0 : bytes;
}

struct NamedSignal {
    int number;
    const char* name;
};

class StopSignal : public ::testing::TestWithParam<NamedSignal> {};

TEST_P(StopSignal, DuringHessAbandonsItAndLeavesTheFileAsBeforeIt) {
    TempDir reference;
    ASSERT_EQ(testing::RunBatch(reference, "--ni 64 --nj 64 sphere").status, 0);
    const std::string beforeHess = ReadFile(reference.File("Axisym.txt"));

    TempDir dir;
    const pid_t pid = StartProgram(dir, {"--ni", "64", "--nj", "64", "sphere", "hess", "sphere"}, dir.File(".stderr"));
    ASSERT_GT(pid, 0);
    // Once the file has grown past the sphere's sections, the Hess command is writing its
    // coefficient tables, with the elimination still ahead.
    WaitUntil([&] { return SizeOf(dir.File("Axisym.txt")) > beforeHess.size(); });
    ASSERT_EQ(kill(pid, GetParam().number), 0);
    EXPECT_EQ(ExitStatus(pid), 128 + GetParam().number) << "the program must exit, not die of the signal";
    EXPECT_TRUE(ReadFile(dir.File("Axisym.txt")) == beforeHess) << "the file is cut back to before the step";
    EXPECT_EQ(ReadFile(dir.File(".stderr")), "panelflow-batch: " + std::string(GetParam().name) +
                                                 " during the step \"hess\": the step was abandoned, Axisym.txt is as "
                                                 "it was before it, and the steps after it were not run.\n");
}

INSTANTIATE_TEST_SUITE_P(EveryStopSignal, StopSignal,
                         ::testing::Values(NamedSignal{SIGHUP, "SIGHUP"}, NamedSignal{SIGINT, "SIGINT"},
                                           NamedSignal{SIGQUIT, "SIGQUIT"}, NamedSignal{SIGTERM, "SIGTERM"},
                                           NamedSignal{SIGUSR1, "SIGUSR1"}, NamedSignal{SIGUSR2, "SIGUSR2"},
                                           NamedSignal{SIGALRM, "SIGALRM"}, NamedSignal{SIGPIPE, "SIGPIPE"},
                                           NamedSignal{SIGXCPU, "SIGXCPU"}, NamedSignal{SIGVTALRM, "SIGVTALRM"},
                                           NamedSignal{SIGPROF, "SIGPROF"}),
                         [](const ::testing::TestParamInfo<NamedSignal>& info) { return std::string(info.param.name); });

// A hundred exports into one path, CSV and VTK by turns, interrupted somewhere among them: the
// message says whether the step under way had replaced the file, and the file agrees with it.
TEST(StopSignal, DuringAnExportLeavesTheFileWholeAndAsTheMessageSays) {
    TempDir reference;
    ASSERT_EQ(testing::RunBatch(reference, "--ni 32 --nj 32 sphere hess csv s.csv vtk s.vtp").status, 0);
    const std::string csv = ReadFile(reference.File("s.csv")), vtp = ReadFile(reference.File("s.vtp"));

    std::mt19937 random(20261208);
    for (int run = 0; run < 3; ++run) {
        TempDir dir;
        std::vector<std::string> arguments{"--ni", "32", "--nj", "32", "sphere", "hess"};
        for (int k = 0; k < 50; ++k)
            for (const char* step : {"csv", "vtk"}) arguments.insert(arguments.end(), {step, "out"});
        const pid_t pid = StartProgram(dir, arguments, dir.File(".stderr"));
        ASSERT_GT(pid, 0);
        WaitUntil([&] { return std::filesystem::exists(dir.File("out")); });
        std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution<>(0, 100)(random)));
        ASSERT_EQ(kill(pid, SIGINT), 0);
        EXPECT_EQ(ExitStatus(pid), 130);

        const std::string message = ReadFile(dir.File(".stderr"));
        const std::string out = ReadFile(dir.File("out"));
        const bool abandoned = message.find("the step was abandoned, its file was left as it was") != std::string::npos;
        const bool written = message.find("had written its file: the steps after it were not run") != std::string::npos;
        ASSERT_TRUE(abandoned || written) << message;
        const bool csvStep = message.find("step \"csv\"") != std::string::npos;
        // An abandoned CSV step leaves the VTK file of the step before, and so on.
        EXPECT_TRUE(out == (csvStep == written ? csv : vtp)) << message;
        EXPECT_EQ(testing::Snapshot(dir.path()).size(), 2u) << "no temporary file is left";
    }
}

// Without the tables the file does not grow while the symmetric solver works: the signal comes
// a moment after the sphere's sections are complete.
TEST(InterruptedWithoutTables, SymmetricHessIsAbandonedAndTheFileIsAsBeforeIt) {
    TempDir reference;
    ASSERT_EQ(testing::RunBatch(reference, "--ni 600 --nj 600 sphere").status, 0);
    const auto beforeHess = std::filesystem::file_size(reference.File("Axisym.txt"));
    TempDir dir;
    const pid_t pid = StartProgram(dir, {"--no-tables", "--ni", "600", "--nj", "600", "sphere", "hess"}, dir.File(".stderr"));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    std::error_code missing;
    while (std::filesystem::file_size(dir.File("Axisym.txt"), missing) != beforeHess &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_EQ(kill(pid, SIGINT), 0);
    EXPECT_EQ(ExitStatus(pid), 128 + SIGINT);
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
