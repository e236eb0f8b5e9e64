// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/Commands.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <string>
#include <utility>
#include <vector>

#include "support/RecordingProgress.h"
#include "support/TempDir.h"

namespace panelflow {
namespace {

using testing::ReadFile;
using testing::RecordingInterface;
using testing::TempDir;

class CommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        session.shell.OutFile = dir.File("Axisym.txt");
        ASSERT_TRUE(StartCommand(session, ui));
    }
    std::string Results() const { return ReadFile(session.shell.OutFile); }

    TempDir dir;
    Session session;
    RecordingInterface ui;
};

TEST_F(CommandsTest, StartLeavesAnEmptyResultsFileAndNoGeometry) {
    EXPECT_EQ(Results(), "");
    EXPECT_FALSE(session.shell.GeometryReady);
    EXPECT_EQ(session.model.NI, 0);
}

TEST_F(CommandsTest, SphereBuildsTheGeometryAndSetsTheDrawingOptions) {
    ASSERT_TRUE(SphereCommand(session, "4", "6", ui));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(session.model.NI, 4);
    EXPECT_EQ(session.model.NJ, 6);
    EXPECT_EQ(session.model.NI1, 5);
    EXPECT_EQ(session.model.NJ1, 7);
    EXPECT_TRUE(session.shell.GeometryReady);
    EXPECT_TRUE(session.shell.DrawPanels);
    EXPECT_FALSE(session.shell.DrawCpSurface);
    EXPECT_EQ(Results().rfind(" Profile of the body of revolution\r\n", 0), 0u);
}

TEST_F(CommandsTest, TheSameSphereTwiceAppendsItsSectionsTwice) {
    ASSERT_TRUE(SphereCommand(session, "4", "4", ui));
    const std::string once = Results();
    ASSERT_TRUE(SphereCommand(session, "4", "4", ui));
    EXPECT_EQ(Results(), once + once);
}

class RefusedSphereCounts : public CommandsTest, public ::testing::WithParamInterface<std::pair<const char*, const char*>> {};

TEST_P(RefusedSphereCounts, KeepThePreviousGeometryAndAppendNothing) {
    ASSERT_TRUE(SphereCommand(session, "3", "5", ui));
    const std::string before = Results();
    const double node = session.model.yNode(2, 2);

    EXPECT_FALSE(SphereCommand(session, GetParam().first, GetParam().second, ui));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].find("must be a whole number of at least 1"), std::string::npos) << ui.messages[0];
    EXPECT_EQ(Results(), before);
    EXPECT_EQ(session.model.NI, 3);
    EXPECT_EQ(session.model.NJ, 5);
    EXPECT_EQ(session.model.yNode(2, 2), node);
    EXPECT_TRUE(session.shell.GeometryReady);
}

INSTANTIATE_TEST_SUITE_P(Texts, RefusedSphereCounts,
                         ::testing::Values(std::pair{"0", "4"}, std::pair{"4", "-2"}, std::pair{"2.5", "4"},
                                           std::pair{"abc", "4"}, std::pair{"4", ""}));

TEST_F(CommandsTest, ACountTooLargeForMemoryIsRefusedBeforeAnythingIsBuilt) {
    EXPECT_FALSE(SphereCommand(session, "100000", "100000", ui));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].find("GB"), std::string::npos) << ui.messages[0];
    EXPECT_EQ(Results(), "");
    EXPECT_FALSE(session.shell.GeometryReady);
}

TEST_F(CommandsTest, TheOnePanelRowSphereIsRefusedAsDegenerateAndNothingIsWritten) {
    ASSERT_TRUE(SphereCommand(session, "4", "4", ui));
    const std::string before = Results();
    EXPECT_FALSE(SphereCommand(session, "1", "4", ui));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].find("(1, 1)"), std::string::npos) << ui.messages[0];
    EXPECT_EQ(Results(), before);
    EXPECT_EQ(session.model.NI, 4);
}

TEST_F(CommandsTest, HessWithoutGeometryShowsTheMessageAndChangesNothing) {
    EXPECT_FALSE(HessCommand(session, ui));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], "Geometriyi hazırla");
    ASSERT_EQ(ui.explanations.size(), 1u);
    EXPECT_NE(ui.explanations[0].find("build one first"), std::string::npos) << ui.explanations[0];
    EXPECT_EQ(Results(), "");
    EXPECT_EQ(session.vinf.VinfX, 0.0);
    EXPECT_FALSE(session.shell.DrawCpSurface);
}

TEST_F(CommandsTest, HessAfterASphereSolvesAndTurnsTheNetOn) {
    ASSERT_TRUE(SphereCommand(session, "4", "4", ui));
    ASSERT_TRUE(HessCommand(session, ui));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(session.shell.DrawCpSurface);
    EXPECT_EQ(session.vinf.VinfX, 1.0);
    EXPECT_NE(Results().find("\r\n1-Cp\r\n"), std::string::npos);
    // A new geometry turns the net off again.
    ASSERT_TRUE(SphereCommand(session, "4", "4", ui));
    EXPECT_FALSE(session.shell.DrawCpSurface);
}

TEST_F(CommandsTest, AResultsFileThatCannotBeCreatedRefusesTheCommandNamingTheFile) {
    session.shell.OutFile = dir.File("no-such-directory/Axisym.txt");
    EXPECT_FALSE(SphereCommand(session, "4", "4", ui));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].find(session.shell.OutFile), std::string::npos) << ui.messages[0];
    EXPECT_FALSE(session.shell.GeometryReady);
    EXPECT_EQ(session.model.NI, 0);
}

// Limits the size of files this process may write, so that a write fails part-way.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }

private:
    rlimit saved_{};
};

TEST_F(CommandsTest, AWriteFailurePartWayCutsTheFileBackAndKeepsTheSolution) {
    ASSERT_TRUE(SphereCommand(session, "4", "4", ui));
    ASSERT_TRUE(HessCommand(session, ui));
    const std::string before = Results();
    const double oneMinusCp = session.solution.OneMinusCp(2, 3);
    {
        FileSizeLimit limit(before.size() + 3000);  // room for part of the coefficient tables
        EXPECT_FALSE(HessCommand(session, ui));
    }
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].find(session.shell.OutFile), std::string::npos) << ui.messages[0];
    EXPECT_EQ(Results(), before);
    EXPECT_EQ(session.solution.OneMinusCp(2, 3), oneMinusCp);
    EXPECT_TRUE(session.shell.DrawCpSurface);
}

TEST_F(CommandsTest, AWriteFailureInAGeometryCommandKeepsThePreviousGeometry) {
    ASSERT_TRUE(SphereCommand(session, "4", "4", ui));
    const std::string before = Results();
    {
        FileSizeLimit limit(before.size() + 500);
        EXPECT_FALSE(SphereCommand(session, "8", "8", ui));
    }
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(Results(), before);
    EXPECT_EQ(session.model.NI, 4);
}

// Asks to stop once the given stage has been reported.
class StopInStage : public testing::RecordingProgress {
public:
    explicit StopInStage(std::string stage) : stage_(std::move(stage)) {}
    bool StopRequested() const override { return fractions.count(stage_) != 0; }

private:
    std::string stage_;
};

class StoppedHess : public CommandsTest, public ::testing::WithParamInterface<const char*> {};

// Stopped in any stage, the Hess command leaves the file, the solution and the shell as they were.
TEST_P(StoppedHess, LeavesEverythingAsItWas) {
    ASSERT_TRUE(SphereCommand(session, "24", "24", ui));
    ASSERT_TRUE(HessCommand(session, ui));
    const std::string before = Results();
    const Array2D<double> oneMinusCp = session.solution.OneMinusCp;
    ASSERT_TRUE(SphereCommand(session, "24", "24", ui));
    const std::string afterSphere = Results();
    StopInStage stop(GetParam());
    EXPECT_FALSE(HessCommand(session, ui, &stop));
    EXPECT_EQ(stop.stages.back(), GetParam());
    EXPECT_TRUE(Results() == afterSphere) << "the file is cut back to its length before the command";
    EXPECT_EQ(ui.messages.size(), 0u);
    EXPECT_FALSE(session.shell.DrawCpSurface);
    EXPECT_EQ(session.solution.OneMinusCp(3, 5), oneMinusCp(3, 5));
    EXPECT_TRUE(before.size() < afterSphere.size());
}

INSTANTIATE_TEST_SUITE_P(Stages, StoppedHess,
                         ::testing::Values("influence coefficients", "coefficient tables", "elimination"));

// The hierarchical solver stopped while the library compresses a matrix (its callbacks hear the
// stop), and in its iteration: the same.
TEST_F(CommandsTest, AHierarchicalSolutionStoppedInsideTheLibraryLeavesEverythingAsItWas) {
    const std::string body = PANELFLOW_SOURCE_DIR "/examples/ellipsoid-3axes.Coords";
    HessSettings noTables;
    noTables.writeTables = false;
    ASSERT_TRUE(CornerFileCommand(session, body, ui));
    ASSERT_EQ(HessCommand(session, ui, nullptr, kUnitStreamAlongX, noTables).solverUsed.rfind("hierarchical", 0), 0u);
    const Array2D<double> oneMinusCp = session.solution.OneMinusCp;
    ASSERT_TRUE(CornerFileCommand(session, body, ui));
    const std::string afterGeometry = Results();
    for (const char* stage : {"influence coefficients", "iterative solution", "surface velocities"}) {
        StopInStage stop(stage);
        EXPECT_FALSE(HessCommand(session, ui, &stop, kUnitStreamAlongX, noTables));
        EXPECT_EQ(stop.stages.back(), stage);
        EXPECT_TRUE(Results() == afterGeometry) << stage;
        EXPECT_TRUE(ui.messages.empty()) << ui.messages[0];
        EXPECT_FALSE(session.shell.DrawCpSurface);
        EXPECT_EQ(session.solution.OneMinusCp(3, 5), oneMinusCp(3, 5));
    }
}

TEST_F(CommandsTest, AStoppedGeometryCommandKeepsThePreviousGeometryAndFile) {
    ASSERT_TRUE(SphereCommand(session, "3", "5", ui));
    const std::string before = Results();
    StopInStage stop("results");
    EXPECT_FALSE(SphereCommand(session, "90", "90", ui, &stop));
    // The stages are named as they come, up to the one that stopped.
    EXPECT_EQ(stop.stages, (std::vector<std::string>{"body of revolution", "panel geometry", "results"}));
    EXPECT_TRUE(Results() == before);
    EXPECT_EQ(session.model.NI, 3);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(CommandsTest, AGeometryTooLargeToSolveStillBuildsAndItsSolutionIsRefused) {
    ASSERT_TRUE(SphereCommand(session, "200", "200", ui));
    const std::string geometry = Results();
    EXPECT_FALSE(HessCommand(session, ui));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].find("influence matrices need"), std::string::npos) << ui.messages[0];
    EXPECT_TRUE(Results() == geometry);
    EXPECT_EQ(session.model.NI, 200);
}

}  // namespace
}  // namespace panelflow
