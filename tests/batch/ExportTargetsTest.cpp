// SPDX-License-Identifier: GPL-3.0-or-later
// Where an export may go: a new name or a regular file (through symbolic links, the file a link
// leads to), never a pipe, a device, a directory or the results file. A refused export changes
// no file and stops the run; the bytes of every file in the folder are compared before and after.

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "support/BatchRunner.h"
#include "support/TempDir.h"

namespace panelflow {
namespace {

using testing::ReadFile;
using testing::RunBatch;
using testing::Snapshot;
using testing::TempDir;
using testing::WriteFile;

struct RefusedTarget {
    const char* name;
    std::function<void(const TempDir&)> make;
    const char* target;
    const char* message;
};

class RefusedExport : public ::testing::TestWithParam<RefusedTarget> {};

TEST_P(RefusedExport, ChangesNoFileAndStopsTheRun) {
    TempDir reference, dir;
    ASSERT_EQ(RunBatch(reference, "sphere hess").status, 0);
    GetParam().make(dir);
    auto expected = Snapshot(dir.path());
    expected["Axisym.txt"] = ReadFile(reference.File("Axisym.txt"));
    if (expected.count("results.csv")) expected["results.csv"] = expected["Axisym.txt"];  // a hard link to it

    const auto run = RunBatch(dir, std::string("sphere hess csv ") + GetParam().target + " sphere", "timeout 60");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors, "panelflow-batch: " + std::string(GetParam().message) + "\n");
    EXPECT_TRUE(Snapshot(dir.path()) == expected);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, RefusedExport,
    ::testing::Values(
        RefusedTarget{"NamedPipe", [](const TempDir& d) { ::mkfifo(d.File("fifo.csv").c_str(), 0644); }, "fifo.csv",
                      "The CSV file fifo.csv is not a regular file (a named pipe); nothing was written to it."},
        RefusedTarget{"LinkToANamedPipe",
                      [](const TempDir& d) {
                          ::mkfifo(d.File("fifo").c_str(), 0644);
                          std::filesystem::create_symlink("fifo", d.File("link.csv"));
                      },
                      "link.csv",
                      "The CSV file link.csv (a link to fifo) is not a regular file (a named pipe); nothing was "
                      "written to it."},
        RefusedTarget{"Directory", [](const TempDir& d) { std::filesystem::create_directory(d.File("taken.csv")); },
                      "taken.csv", "The CSV file taken.csv is not a regular file (a directory); nothing was written to it."},
        RefusedTarget{"TheResultsFile", [](const TempDir&) {}, "Axisym.txt",
                      "The CSV file Axisym.txt is the results file; nothing was written to it."},
        RefusedTarget{"ALinkToTheResultsFile",
                      [](const TempDir& d) { std::filesystem::create_symlink("Axisym.txt", d.File("mine.csv")); },
                      "mine.csv", "The CSV file mine.csv is the results file; nothing was written to it."},
        RefusedTarget{"AHardLinkToTheResultsFile",
                      [](const TempDir& d) {
                          WriteFile(d.File("Axisym.txt"), "");
                          std::filesystem::create_hard_link(d.File("Axisym.txt"), d.File("results.csv"));
                      },
                      "results.csv", "The CSV file results.csv is the results file; nothing was written to it."},
        RefusedTarget{"AFolderThatTakesNoFiles", [](const TempDir&) {}, "/proc/s.csv",
                      "The CSV file /proc/s.csv cannot be written: its folder /proc takes no new files."}),
    [](const ::testing::TestParamInfo<RefusedTarget>& info) { return std::string(info.param.name); });

TEST(ExportTargets, ALinkToARegularFileReplacesThatFileKeepingTheLinkAndThePermissions) {
    TempDir reference, dir;
    ASSERT_EQ(RunBatch(reference, "sphere hess csv s.csv").status, 0);
    WriteFile(dir.File("real.csv"), "old");
    ASSERT_EQ(::chmod(dir.File("real.csv").c_str(), 0600), 0);
    std::filesystem::create_symlink("real.csv", dir.File("link.csv"));
    ASSERT_EQ(RunBatch(dir, "sphere hess csv link.csv").status, 0);
    EXPECT_EQ(ReadFile(dir.File("real.csv")), ReadFile(reference.File("s.csv")));
    EXPECT_EQ(std::filesystem::read_symlink(dir.File("link.csv")), "real.csv");
    struct stat info {};
    ASSERT_EQ(::stat(dir.File("real.csv").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

// The null device itself, as root, in a mount namespace of the test's own where /dev is a fresh
// file system holding a new null device: were it replaced, the machine's would be untouched.
TEST(ExportTargets, TheNullDeviceIsRefusedAndStaysADevice) {
    const std::string privateDev =
        "unshare --mount --propagation private sh -c "
        "'mount -t tmpfs tmpfs /dev && mknod -m 666 /dev/null c 1 3 && \"$0\" \"$@\"; s=$?; LC_ALL=C stat -c %F /dev/null >kind; "
        "exit $s'";
    if (std::system("unshare --mount --propagation private sh -c 'mount -t tmpfs tmpfs /dev' 2>/dev/null") != 0)
        GTEST_SKIP() << "no private mount namespace can be made here (needs root)";
    TempDir dir;
    const auto run = RunBatch(dir, "sphere hess csv /dev/null", "timeout 60 " + privateDev);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors, "panelflow-batch: The CSV file /dev/null is not a regular file (a device); nothing was written to it.\n");
    EXPECT_EQ(ReadFile(dir.File("kind")), "character special file\n");
}

}  // namespace
}  // namespace panelflow
