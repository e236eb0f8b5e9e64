// SPDX-License-Identifier: GPL-3.0-or-later
// The profile-file and corner-point-file commands: what a chosen file does to the session, the
// NI text and the results file, and that every refused file changes none of them.

#include <gtest/gtest.h>

#include <charconv>
#include <string>

#include "commands/Commands.h"
#include "geometry/BodyOfRevolution.h"
#include "input/FieldReader.h"
#include "support/TempDir.h"

namespace panelflow {
namespace {

using testing::ReadFile;
using testing::RecordingInterface;
using testing::TempDir;
using testing::WriteFile;

std::string Shortest(double value) {
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

// A profile file holding exactly the points of the generated sphere for NI rows.
std::string SphereProfileFile(int NI) {
    BodyProfile sphere;
    SphereProfile(NI, sphere);
    std::string text = "\"Sphere, generated\"," + CountText(NI + 1) + ",points\r\n";
    for (int n = 1; n <= NI + 1; ++n)
        text += CountText(n) + "," + Shortest(sphere.xI(n)) + "," + Shortest(sphere.rI(n)) + "\r\n";
    return text;
}

// Five points of a lens-shaped body, nose to tail.
constexpr const char* kFivePoints = "Lens,5,points\n1,0,0\n2,0.25,0.3\n3,0.5,0.4\n4,0.75,0.3\n5,1,0\n";

// NI = 2, NJ = 3: a closed double cone, rows towards +x, columns turning positively about +x.
constexpr const char* kDoubleCone =
    "2,3\n"
    "1,1,0,0,0\n1,2,0,0,0\n1,3,0,0,0\n1,4,0,0,0\n"
    "2,1,1,0,-1\n2,2,1,0.866,0.5\n2,3,1,-0.866,0.5\n2,4,1,0,-1\n"
    "3,1,2,0,0\n3,2,2,0,0\n3,3,2,0,0\n3,4,2,0,0\n";

class FileCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        session.shell.OutFile = dir.File("Axisym.txt");
        ASSERT_TRUE(StartCommand(session, ui));
    }
    std::string Results() const { return ReadFile(session.shell.OutFile); }
    std::string File(const std::string& name, const std::string& text) const {
        WriteFile(dir.File(name), text);
        return dir.File(name);
    }

    TempDir dir;
    Session session;
    RecordingInterface ui;
};

TEST_F(FileCommandsTest, APointCountMatchingTheNiTextLeavesTheTextAsItWas) {
    std::string niText = "4 rows";
    ASSERT_TRUE(ProfileFileCommand(session, File("five.BodyFoil", kFivePoints), niText, "6", ui));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(niText, "4 rows");
    EXPECT_EQ(session.model.NI, 4);
    EXPECT_EQ(session.model.NI1, 5);
    EXPECT_EQ(session.model.NJ, 6);
    EXPECT_EQ(session.shell.ProfileFile, dir.File("five.BodyFoil"));
    EXPECT_TRUE(session.shell.GeometryReady);
    EXPECT_EQ(session.profile.rI(3), 0.4);
}

TEST_F(FileCommandsTest, APointCountDifferentFromTheNiTextReplacesNiAndTheText) {
    for (const char* text : {"10", "1", "100000"}) {  // larger, smaller, too large for memory on its own
        std::string niText = text;
        ASSERT_TRUE(ProfileFileCommand(session, File("five.BodyFoil", kFivePoints), niText, "6", ui)) << text;
        EXPECT_EQ(niText, "4");
        EXPECT_EQ(session.model.NI, 4);
        EXPECT_EQ(session.model.NI1, 5);
        EXPECT_EQ(session.model.NJ, 6);
        EXPECT_EQ(session.model.NJ1, 7);
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(FileCommandsTest, TheGeneratedSphereAsAProfileFileWritesTheSphereCommandsResults) {
    Session sphere;
    sphere.shell.OutFile = dir.File("Sphere.txt");
    ASSERT_TRUE(StartCommand(sphere, ui));
    ASSERT_TRUE(SphereCommand(sphere, "4", "4", ui));
    const std::string expected = ReadFile(sphere.shell.OutFile);

    std::string niText = "4";
    ASSERT_TRUE(ProfileFileCommand(session, File("sphere.BodyFoil", SphereProfileFile(4)), niText, "4", ui));
    EXPECT_EQ(Results(), expected);

    // The example file holds the same points.
    ASSERT_TRUE(StartCommand(session, ui));
    ASSERT_TRUE(ProfileFileCommand(session, PANELFLOW_SOURCE_DIR "/examples/sphere.BodyFoil", niText, "4", ui));
    EXPECT_EQ(Results(), expected);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(FileCommandsTest, ACornerFileBringsItsOwnCountsAndWritesOnlyThePanelReport) {
    std::string niText = "4";
    ASSERT_TRUE(ProfileFileCommand(session, File("five.BodyFoil", kFivePoints), niText, "6", ui));
    const std::string before = Results();
    ASSERT_TRUE(CornerFileCommand(session, File("cone.Coords", kDoubleCone), ui));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(session.model.NI, 2);
    EXPECT_EQ(session.model.NJ, 3);
    EXPECT_EQ(session.model.yNode(2, 2), 0.866);
    EXPECT_EQ(session.shell.CornerFile, dir.File("cone.Coords"));
    EXPECT_EQ(session.shell.ProfileFile, dir.File("five.BodyFoil"));
    // The profile of the previous body stays; no profile section is written for the grid.
    EXPECT_EQ(session.profile.rI(3), 0.4);
    const std::string added = Results().substr(before.size());
    EXPECT_EQ(added.find("Profile of the body of revolution"), std::string::npos);
    EXPECT_EQ(added.find("Coordinates of the body of revolution"), std::string::npos);
    EXPECT_FALSE(added.empty());
}

TEST_F(FileCommandsTest, AGridWhoseFirstRowIsNoPoleIsAccepted) {
    // The cone's first row opened to a small ring: unusual, but every panel has an area.
    const std::string pole = "1,1,0,0,0\n1,2,0,0,0\n1,3,0,0,0\n1,4,0,0,0\n";
    std::string grid = kDoubleCone;
    grid.replace(grid.find(pole), pole.size(), "1,1,0,0,-.1\n1,2,0,.0866,.05\n1,3,0,-.0866,.05\n1,4,0,0,-.1\n");
    ASSERT_TRUE(CornerFileCommand(session, File("open.Coords", grid), ui)) << (ui.messages.empty() ? "" : ui.messages[0]);
    EXPECT_EQ(session.model.zNode(1, 1), -0.1);
}

struct RefusedFile {
    const char* name;   // written in the test's directory unless text is null
    const char* text;   // null: the path is used as it stands (missing, a directory)
    const char* found;  // a part of the message
};

class RefusedFileCommands : public FileCommandsTest, public ::testing::WithParamInterface<RefusedFile> {
protected:
    // A first geometry with a solution, whose every trace must survive the refused command.
    void SetUp() override {
        FileCommandsTest::SetUp();
        ASSERT_TRUE(SphereCommand(session, "3", "5", ui));
        ASSERT_TRUE(HessCommand(session, ui));
        session.shell.ProfileFile = "earlier.BodyFoil";
        session.shell.CornerFile = "earlier.Coords";
        before = Results();
    }
    std::string Path() {
        const RefusedFile& file = GetParam();
        if (!file.text) return std::string(file.name) == "." ? dir.path().string() : dir.File(file.name);
        return File(file.name, file.text);
    }
    void ExpectNothingChanged(const std::string& path) {
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_NE(ui.messages[0].find(GetParam().found), std::string::npos) << ui.messages[0];
        // Whatever is wrong, the message says which file it is in.
        EXPECT_NE(ui.messages[0].find(path), std::string::npos) << ui.messages[0];
        EXPECT_EQ(Results(), before);
        EXPECT_EQ(session.model.NI, 3);
        EXPECT_EQ(session.model.NJ, 5);
        EXPECT_EQ(session.model.xNode.upper1(), 4);
        EXPECT_EQ(session.profile.xI.upper(), 4);
        EXPECT_EQ(session.solution.OneMinusCp.upper1(), 3);
        EXPECT_TRUE(session.shell.GeometryReady);
        EXPECT_TRUE(session.shell.DrawCpSurface);
        EXPECT_EQ(session.shell.ProfileFile, "earlier.BodyFoil");
        EXPECT_EQ(session.shell.CornerFile, "earlier.Coords");
    }
    std::string before;
};

class RefusedProfileFiles : public RefusedFileCommands {};

TEST_P(RefusedProfileFiles, ShowTheReadersMessageAndChangeNothing) {
    const std::string path = Path();
    std::string niText = "10";
    EXPECT_FALSE(ProfileFileCommand(session, path, niText, "5", ui));
    EXPECT_EQ(niText, "10");
    ExpectNothingChanged(path);
}

INSTANTIATE_TEST_SUITE_P(
    Files, RefusedProfileFiles,
    ::testing::Values(
        RefusedFile{"missing.BodyFoil", nullptr, "does not exist"}, RefusedFile{".", nullptr, "is a directory"},
        RefusedFile{"empty.BodyFoil", "", "is empty"},
        RefusedFile{"short.BodyFoil", "Lens,5,points\n1,0,0\n2,0.25,0.3\n3,0.5", "ends after record 2 of 5: the r of point 3 is missing"},
        RefusedFile{"text.BodyFoil", "Lens,5,points\n1,0,0\n2,0.25,0.3\n3,abc,0.4\n", "line 4, field 2: expected the x of point 3, found \"abc\""},
        RefusedFile{"quote.BodyFoil", "\"Lens,5,points\n", "line 1, field 1: the quote that opens the first header field is not closed"},
        RefusedFile{"nan.BodyFoil", "Lens,2,points\n1,0,0\n2,nan,0\n", "found \"nan\", which is not a finite number"},
        RefusedFile{"huge.BodyFoil", "Lens,2,points\n1,0,0\n2,1e999,0\n", "found \"1e999\", which is not a finite number"},
        RefusedFile{"one.BodyFoil", "Lens,1,points\n1,0,0\n", "NP must be a whole number of at least 2, found 1"},
        RefusedFile{"half.BodyFoil", "Lens,4.5,points\n", "NP must be a whole number of at least 2, found 4.5"},
        RefusedFile{"many.BodyFoil", "Lens,1e12,points\n1,0,0\n", "NP = 1e12 points are too many"}));

TEST_F(RefusedProfileFiles, ADegenerateProfileIsRefusedAndTheNiTextKept) {
    // The first two points coincide: the first panel row has no area.
    std::string niText = "10";
    const std::string path = File("flat.BodyFoil", "Lens,5,points\n1,0,0\n2,0,0\n3,0.5,0.4\n4,0.75,0.3\n5,1,0\n");
    EXPECT_FALSE(ProfileFileCommand(session, path, niText, "5", ui));
    EXPECT_EQ(niText, "10");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], path + ": Panel (1, 1) is degenerate: its corners 1 and 2 coincide.");
    EXPECT_EQ(Results(), before);
    EXPECT_EQ(session.model.NI, 3);
    EXPECT_EQ(session.shell.ProfileFile, "earlier.BodyFoil");
}

TEST_F(RefusedProfileFiles, AnNjTextThatIsNoCountRefusesTheProfileBeforeTheFileIsRead) {
    const std::string path = File("five.BodyFoil", kFivePoints);
    for (const char* nj : {"0", "abc", "2.5"}) {
        std::string niText = "4";
        ui.messages.clear();
        EXPECT_FALSE(ProfileFileCommand(session, path, niText, nj, ui));
        EXPECT_EQ(niText, "4");
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_NE(ui.messages[0].find("must be a whole number of at least 1"), std::string::npos) << ui.messages[0];
        EXPECT_EQ(Results(), before);
        EXPECT_EQ(session.model.NI, 3);
    }
}

TEST_F(FileCommandsTest, AnNiTextThatIsNoCountIsReplacedByThePointCount) {
    const std::string path = File("five.BodyFoil", kFivePoints);
    for (const char* ni : {"0", "abc", "4.5", "-4"}) {
        std::string niText = ni;
        EXPECT_TRUE(ProfileFileCommand(session, path, niText, "4", ui)) << ni;
        EXPECT_EQ(niText, "4");
        EXPECT_EQ(session.model.NI, 4);
    }
}

class RefusedCornerFiles : public RefusedFileCommands {};

TEST_P(RefusedCornerFiles, ShowTheReadersMessageAndChangeNothing) {
    const std::string path = Path();
    EXPECT_FALSE(CornerFileCommand(session, path, ui));
    ExpectNothingChanged(path);
}

INSTANTIATE_TEST_SUITE_P(
    Files, RefusedCornerFiles,
    ::testing::Values(
        RefusedFile{"missing.Coords", nullptr, "does not exist"}, RefusedFile{".", nullptr, "is a directory"},
        RefusedFile{"empty.Coords", "\r\n", "is empty"},
        RefusedFile{"short.Coords", "1,1\n1,1,0,0,0\n1,2,0,0,0\n2,1,1,0,0\n", "ends after record 3 of 4: the first index of node (2, 2) is missing"},
        RefusedFile{"text.Coords", "1,1\n1,1,0,0,0\n1,2,0,O,0\n", "line 3, field 4: expected the y of node (1, 2), found \"O\""},
        RefusedFile{"quote.Coords", "1,1\n1,1,\"0,0,0\n", "the quote that opens the x of node (1, 1) is not closed"},
        RefusedFile{"inf.Coords", "1,1\n1,1,0,0,-inf\n", "found \"-inf\", which is not a finite number"},
        RefusedFile{"zero.Coords", "0,1\n", "NI must be a whole number of at least 1, found 0"},
        RefusedFile{"half.Coords", "1,1.5\n", "NJ must be a whole number of at least 1, found 1.5"},
        RefusedFile{"many.Coords", "100000,100000\n", "GB"},
        // every node at one point: the first panel is degenerate
        RefusedFile{"point.Coords", "1,1\n1,1,0,0,0\n1,2,0,0,0\n2,1,0,0,0\n2,2,0,0,0\n", "(1, 1) is degenerate"}));

}  // namespace
}  // namespace panelflow
