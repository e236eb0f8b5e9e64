// SPDX-License-Identifier: GPL-3.0-or-later
// The batch program under resource limits and hostile inputs: every fault ends in a message and
// exit status 1 (or, for a thread limit, in fewer threads), and the results file holds exactly
// what the steps before the fault wrote.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <pwd.h>

#include "support/BatchRunner.h"
#include "support/TempDir.h"

namespace panelflow {
namespace {

using testing::ReadFile;
using testing::RunBatch;
using testing::TempDir;
using testing::WriteFile;

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(ResourceFaults, AFileSizeLimitFailsTheWriteAndKeepsTheGeometrysSections) {
    TempDir geometryOnly, limited;
    ASSERT_EQ(RunBatch(geometryOnly, "--ni 24 --nj 24 sphere").status, 0);
    // The geometry's sections fit in the limit; the solution's matrices do not.
    const auto run = RunBatch(limited, "--ni 24 --nj 24 sphere hess", "ulimit -f 1000;");
    EXPECT_EQ(run.status, 1) << "killed by SIGXFSZ instead of refusing the step";
    EXPECT_TRUE(Has(run.errors, "The results file Axisym.txt cannot be written: File too large.")) << run.errors;
    EXPECT_EQ(ReadFile(limited.File("Axisym.txt")), ReadFile(geometryOnly.File("Axisym.txt")));
}

TEST(ResourceFaults, AResultsFileThatIsNoRegularFileIsRefusedNamingItsKindWithoutWaitingForAReader) {
    for (const bool pipe : {true, false}) {
        TempDir dir;
        ASSERT_EQ(pipe ? ::mkfifo(dir.File("Axisym.txt").c_str(), 0644) : ::mkdir(dir.File("Axisym.txt").c_str(), 0755), 0);
        const auto run = RunBatch(dir, "sphere", "timeout 60");
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.errors, std::string("panelflow-batch: The results file Axisym.txt is not a regular file (") +
                                  (pipe ? "a named pipe" : "a directory") + "); nothing was written to it.\n");
        struct stat info {};
        ASSERT_EQ(::stat(dir.File("Axisym.txt").c_str(), &info), 0);
        EXPECT_TRUE(pipe ? S_ISFIFO(info.st_mode) : S_ISDIR(info.st_mode));
    }
}

// The address sanitizer reserves terabytes of address space and keeps freed memory aside, so
// no memory limit of a sanitizer build means what it means to the program.
#if defined(__SANITIZE_ADDRESS__)
#define SKIP_UNDER_ADDRESS_SANITIZER() GTEST_SKIP() << "the address sanitizer's own memory use defeats the limit"
#else
#define SKIP_UNDER_ADDRESS_SANITIZER() (void)0
#endif

// Each solver's check weighs its own arrays. The geometry of 64 x 64 panels fits in 300 MB, its
// three matrices, 403 MB, do not; 3000 rows of 3 panels build too, but their mode matrices for
// the symmetric solver do not fit.
TEST(ResourceFaults, AnAddressSpaceLimitRefusesTheProblemNamingTheLimit) {
    SKIP_UNDER_ADDRESS_SANITIZER();
    struct Case {
        std::string counts, options, expected;
    };
    for (const Case& c : {Case{"--ni 64 --nj 64", "", "give 4096 panels, whose influence matrices need 0.4 GB of memory"},
                          Case{"--ni 3000 --nj 3", "--no-tables ",
                               "give 9000 panels, whose Fourier-mode matrices and surface arrays need 0.8 GB"}}) {
        TempDir geometryOnly, dir;
        ASSERT_EQ(RunBatch(geometryOnly, c.counts + " sphere").status, 0);
        const auto run = RunBatch(dir, c.options + c.counts + " sphere hess", "prlimit --as=314572800");
        EXPECT_EQ(run.status, 1) << run.errors;
        EXPECT_TRUE(Has(run.errors, c.expected)) << run.errors;
        EXPECT_TRUE(Has(run.errors, "(the address-space limit)")) << run.errors;
        EXPECT_FALSE(Has(run.errors, "terminate")) << run.errors;
        EXPECT_EQ(ReadFile(dir.File("Axisym.txt")), ReadFile(geometryOnly.File("Axisym.txt")));
    }
}

// A data-size limit (which counts every private writable mapping) from 100 MB up by a fifth at a
// time to 3.8 GB, across the points where the geometry, the matrices and BLAS's work buffers stop
// fitting and where OpenBLAS may start a second thread: every run ends (a hang would be killed
// and fail the test) with the whole file or a refusal that keeps the geometry's sections; a
// refusal by the memory check shows its two amounts as different numbers.
TEST(ResourceFaults, ADataSizeLimitFromOneHundredMegabytesUpNeverHangsNorLeavesHalfASection) {
    SKIP_UNDER_ADDRESS_SANITIZER();
    TempDir geometryOnly, whole;
    ASSERT_EQ(RunBatch(geometryOnly, "--ni 32 --nj 32 sphere").status, 0);
    ASSERT_EQ(RunBatch(whole, "--ni 32 --nj 32 sphere hess").status, 0);
    const std::string geometry = ReadFile(geometryOnly.File("Axisym.txt")), solved = ReadFile(whole.File("Axisym.txt"));
    int refused = 0;
    double megabytes = 100.0;
    for (int k = 0; k < 21; ++k, megabytes *= 1.2) {
        const std::string limit =
            "timeout -s KILL 120 prlimit --data=" + std::to_string(static_cast<long long>(megabytes * 1048576.0));
        TempDir dir;
        EXPECT_EQ(RunBatch(dir, "--version", limit).status, 0) << megabytes << " MB";
        const auto run = RunBatch(dir, "--ni 32 --nj 32 sphere hess", limit);
        const std::string file = ReadFile(dir.File("Axisym.txt"));
        if (run.status == 0) {
            EXPECT_TRUE(file == solved) << megabytes << " MB";
            continue;
        }
        ++refused;
        EXPECT_EQ(run.status, 1) << megabytes << " MB: " << run.errors;
        EXPECT_TRUE(Has(run.errors, " of memory")) << run.errors;
        EXPECT_TRUE(file == geometry || file.empty()) << megabytes << " MB";
        const std::size_t need = run.errors.find(" need "), may = run.errors.find("may use ");
        if (need != std::string::npos && may != std::string::npos) {
            EXPECT_NE(run.errors.substr(need + 6, run.errors.find(' ', need + 6) - need - 6),
                      run.errors.substr(may + 8, run.errors.find(' ', may + 8) - may - 8))
                << run.errors;
        }
    }
    EXPECT_GT(refused, 0) << "no limit was small enough to matter";
    EXPECT_LT(refused, 21) << "no limit was large enough to solve";
}

// A stack-size limit below what the program needs is raised to it where the hard limit allows,
// and refused with a message before any file is made where it does not.
TEST(ResourceFaults, ASmallStackLimitIsRaisedWhereItMayBeAndRefusedWhereNot) {
    SKIP_UNDER_ADDRESS_SANITIZER();
    TempDir reference, raised, refused;
    ASSERT_EQ(RunBatch(reference, "--ni 32 --nj 32 sphere hess").status, 0);
    EXPECT_EQ(RunBatch(raised, "--ni 32 --nj 32 sphere hess", "prlimit --stack=16384:unlimited").status, 0);
    EXPECT_TRUE(ReadFile(raised.File("Axisym.txt")) == ReadFile(reference.File("Axisym.txt")));
    const auto run = RunBatch(refused, "--ni 32 --nj 32 sphere hess", "prlimit --stack=16384");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors, "panelflow-batch: the stack-size limit (ulimit -s) of 16 KB is too small; this program "
                          "needs at least 1024 KB and changed nothing.\n");
    EXPECT_FALSE(std::filesystem::exists(refused.File("Axisym.txt")));
}

// The limits not met above: each lets the run finish with the same files, or refuses it with a
// message and whole steps in the results file (one descriptor is the results file's lock, so four
// open files allow none for the file itself), unless the system's loader cannot even start the
// program (a sanitizer build's libraries need more descriptors).
TEST(ResourceFaults, EveryOtherLimitLetsTheRunFinishOrRefusesItWithWholeSteps) {
    TempDir geometryOnly, whole;
    ASSERT_EQ(RunBatch(geometryOnly, "--ni 12 --nj 12 sphere").status, 0);
    ASSERT_EQ(RunBatch(whole, "--ni 12 --nj 12 sphere hess csv s.csv").status, 0);
    const auto finished = testing::Snapshot(whole.path());
    for (const char* limit : {"--nofile=4", "--nofile=5", "--nofile=6", "--nofile=7", "--nofile=8", "--locks=0",
                              "--sigpending=0", "--memlock=0", "--msgqueue=0", "--core=0", "--rss=4096", "--nice=0",
                              "--rtprio=0", "--rttime=1", "--cpu=30:60"}) {
        TempDir dir;
        const auto run = RunBatch(dir, "--ni 12 --nj 12 sphere hess csv s.csv", std::string("timeout -s KILL 60 prlimit ") + limit);
        if (run.status == 0) {
            EXPECT_TRUE(testing::Snapshot(dir.path()) == finished) << limit;
            continue;
        }
        if (run.status == 127 && Has(run.errors, "error while loading shared libraries")) continue;
        EXPECT_EQ(run.status, 1) << limit;
        EXPECT_FALSE(run.errors.empty()) << limit;
        const std::string file = ReadFile(dir.File("Axisym.txt"));
        EXPECT_TRUE(file.empty() || file == ReadFile(geometryOnly.File("Axisym.txt")) ||
                    file == ReadFile(whole.File("Axisym.txt")))
            << limit;
    }
}

// A control group of its own with a memory limit, removed at the end; empty() when this system
// lets the test make none (not root, or no writable memory controller).
class MemoryControlGroup {
public:
    explicit MemoryControlGroup(long long bytes) {
        const std::string name = "/panelflow-test-" + std::to_string(::getpid());
        const std::string unified = "/sys/fs/cgroup";
        const bool v2 = ReadFile(unified + "/cgroup.subtree_control").find("memory") != std::string::npos;
        dir_ = (v2 ? unified : unified + "/memory") + name;
        if (::mkdir(dir_.c_str(), 0755) != 0) {
            dir_.clear();
            return;
        }
        WriteFile(dir_ + (v2 ? "/memory.max" : "/memory.limit_in_bytes"), std::to_string(bytes));
    }
    ~MemoryControlGroup() {
        if (!dir_.empty()) ::rmdir(dir_.c_str());
    }
    bool empty() const { return dir_.empty(); }
    // Put before the program's command: moves the shell into the group, then becomes the program.
    std::string Enter() const { return "echo $$ >'" + dir_ + "/cgroup.procs' && exec"; }

private:
    std::string dir_;
};

TEST(ResourceFaults, AnAllocationThatFailsDuringTheSolutionRefusesItAndKeepsTheGeometrysSections) {
    SKIP_UNDER_ADDRESS_SANITIZER();
    // Room for the matrices, which the check counts, but not for the elimination's work buffer.
    TempDir geometryOnly, limited;
    ASSERT_EQ(RunBatch(geometryOnly, "--ni 40 --nj 40 sphere").status, 0);
    const auto run = RunBatch(limited, "--ni 40 --nj 40 sphere hess", "timeout 300 prlimit --as=272629760");
    EXPECT_EQ(run.status, 1) << run.errors;
    EXPECT_TRUE(Has(run.errors, " of memory")) << run.errors;
    EXPECT_FALSE(Has(run.errors, "terminate")) << run.errors;
    EXPECT_EQ(ReadFile(limited.File("Axisym.txt")), ReadFile(geometryOnly.File("Axisym.txt")));
}

TEST(ResourceFaults, AControlGroupMemoryLimitRefusesTheProblemNamingTheLimit) {
    SKIP_UNDER_ADDRESS_SANITIZER();
    MemoryControlGroup group(300LL << 20);
    if (group.empty()) GTEST_SKIP() << "no control group with a memory limit can be made here (needs root and a memory controller)";
    TempDir geometryOnly, dir;
    ASSERT_EQ(RunBatch(geometryOnly, "--ni 64 --nj 64 sphere").status, 0);
    const auto run = RunBatch(dir, "--ni 64 --nj 64 sphere hess", group.Enter());
    EXPECT_EQ(run.status, 1) << run.errors;
    EXPECT_TRUE(Has(run.errors, "(the memory limit of its control group)")) << run.errors;
    EXPECT_EQ(ReadFile(dir.File("Axisym.txt")), ReadFile(geometryOnly.File("Axisym.txt")));
}

TEST(ResourceFaults, AProcessLimitOfOneLeavesTheCallingThreadToDoAllTheWork) {
    // Root is exempt from the process limit: run as an unprivileged user, the one without
    // privileges that every system has.
    std::string asUser;
    if (::geteuid() == 0) {
        const passwd* nobody = ::getpwnam("nobody");
        if (nobody == nullptr) GTEST_SKIP() << "running as root and no unprivileged user \"nobody\" to switch to";
        asUser = "setpriv --reuid=" + std::to_string(nobody->pw_uid) + " --regid=" + std::to_string(nobody->pw_gid) +
                 " --clear-groups ";
    }
    TempDir free, limited;
    ASSERT_EQ(::chmod(limited.path().c_str(), 0777), 0);
    ASSERT_EQ(RunBatch(free, "--ni 12 --nj 12 sphere hess").status, 0);
    // That user may not reach the build (a checkout under /root): it runs a copy of the program.
    std::string program = PANELFLOW_BATCH_PROGRAM;
    if (!asUser.empty()) {
        program = limited.File("panelflow-batch");
        std::filesystem::copy_file(PANELFLOW_BATCH_PROGRAM, program);
    }
    // The leak checker of a sanitizer build needs a thread of its own at exit.
    const auto run = RunBatch(limited, "--ni 12 --nj 12 sphere hess",
                              "ASAN_OPTIONS=\"$ASAN_OPTIONS:detect_leaks=0\" " + asUser + "prlimit --nproc=1", program);
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_FALSE(Has(run.errors, "OpenBLAS")) << run.errors;
    EXPECT_EQ(ReadFile(limited.File("Axisym.txt")), ReadFile(free.File("Axisym.txt")));
}

TEST(ResourceFaults, AnNjTooLargeForAnyCountIsBlamedOnTheNjText) {
    TempDir dir;
    WriteFile(dir.File("lens.BodyFoil"), "Lens,5,points\n1,0,0\n2,0.25,0.3\n3,0.5,0.4\n4,0.75,0.3\n5,1,0\n");
    const auto run = RunBatch(dir, "--nj 2147483647 profile lens.BodyFoil");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors.rfind("panelflow-batch: NJ can be at most 2147483646; the text \"2147483647\"", 0), 0u)
        << run.errors;
    EXPECT_EQ(ReadFile(dir.File("Axisym.txt")), "");
}

TEST(ResourceFaults, AnNjWhoseGeometryCannotFitIsBlamedOnTheNjTextNotOnTheFile) {
    TempDir dir;
    WriteFile(dir.File("lens.BodyFoil"), "Lens,5,points\n1,0,0\n2,0.25,0.3\n3,0.5,0.4\n4,0.75,0.3\n5,1,0\n");
    const auto run = RunBatch(dir, "--nj 2147483646 profile lens.BodyFoil");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors.rfind("panelflow-batch: NJ = 2147483646 is too large: ", 0), 0u) << run.errors;
    EXPECT_FALSE(Has(run.errors, "lens.BodyFoil")) << run.errors;
    EXPECT_EQ(ReadFile(dir.File("Axisym.txt")), "");
}

TEST(ResourceFaults, ASuspectBodyIsReportedAsAWarningAndTheRunSucceeds) {
    TempDir dir, forwards;
    WriteFile(dir.File("reversed.BodyFoil"), "Lens,5,points\n5,1,0\n4,0.75,0.3\n3,0.5,0.4\n2,0.25,0.3\n1,0,0\n");
    WriteFile(forwards.File("lens.BodyFoil"), "Lens,5,points\n1,0,0\n2,0.25,0.3\n3,0.5,0.4\n4,0.75,0.3\n5,1,0\n");
    const auto run = RunBatch(dir, "profile reversed.BodyFoil hess");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.errors.rfind("panelflow-batch: warning: The panels' normals point into the body", 0), 0u) << run.errors;
    EXPECT_TRUE(Has(ReadFile(dir.File("Axisym.txt")), "1-Cp"));
    EXPECT_EQ(RunBatch(forwards, "profile lens.BodyFoil").errors, "");
}

}  // namespace
}  // namespace panelflow
