// SPDX-License-Identifier: GPL-3.0-or-later
#include "input/CornerPointFile.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace panelflow {
namespace {

using Node = std::array<double, 3>;

// The nodes of the model, row by row, j inner.
std::vector<Node> NodesOf(const PanelModel& model) {
    std::vector<Node> nodes;
    for (int i = 1; i <= model.NI1; ++i)
        for (int j = 1; j <= model.NJ1; ++j) nodes.push_back({model.xNode(i, j), model.yNode(i, j), model.zNode(i, j)});
    return nodes;
}

Status Read(std::string_view text, PanelModel& model) {
    FieldReader fields(text, "grid.Coords");
    return ReadCornerPoints(fields, model);
}

// NI = 1, NJ = 1: four records in the order (1, 1), (1, 2), (2, 1), (2, 2).
const std::vector<Node> kFourNodes{{0, 1, 2}, {3, 4, 5}, {6, 7, 8}, {9, 10, 11.5}};

class CornerLayouts : public ::testing::TestWithParam<const char*> {};

TEST_P(CornerLayouts, FillTheNodesInRecordOrder) {
    PanelModel model;
    const Status status = Read(GetParam(), model);
    ASSERT_TRUE(status) << status.message;
    EXPECT_EQ(model.NI, 1);
    EXPECT_EQ(model.NJ, 1);
    EXPECT_EQ(model.NI1, 2);
    EXPECT_EQ(model.NJ1, 2);
    EXPECT_EQ(model.xNode.upper1(), 2);
    EXPECT_EQ(model.xNode.upper2(), 2);
    EXPECT_EQ(NodesOf(model), kFourNodes);
}

INSTANTIATE_TEST_SUITE_P(
    Files, CornerLayouts,
    ::testing::Values(
        "1,1\n1,1,0,1,2\n1,2,3,4,5\n2,1,6,7,8\n2,2,9,10,11.5\n",
        "1\r\n1\r\n1\r\n1\r\n0\r\n1\r\n2\r\n1\r\n2\r\n3\r\n4\r\n5\r\n2\r\n1\r\n6\r\n7\r\n8\r\n2\r\n2\r\n9\r\n10\r\n11.5\r\n",
        "1,1,1,1,0,1,2,1,2,3,4,5,2,1,6,7,8,2,2,9,10,11.5",
        "1 1\n1 1 0 1 2   1 2 3 4 5\n\t2\t1\t6\t7\t8\n2 2 9 10 1.15e1",
        // index fields that do not match the record's place have no effect
        "1,1\n0,0,0,1,2\n0,0,3,4,5\n9,-9,6,7,8\n1.5,1e3,9,10,11.5\n",
        // notes after the last record are not read
        "1,1\n1,1,0,1,2\n1,2,3,4,5\n2,1,6,7,8\n2,2,9,10,11.5\nmeasured 2024, \"unfinished\n"));

TEST(ReadCornerPoints, TheRecordPlaceGivesTheNodeForEveryRowAndColumn) {
    // NI = 2, NJ = 3: node (i, j) gets x = i, y = j, z = the record's number, whatever the
    // index fields say.
    std::string text = "2,3\n";
    int record = 0;
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 4; ++j) text += "0,0," + CountText(i) + "," + CountText(j) + "," + CountText(record++) + "\n";
    PanelModel model;
    ASSERT_TRUE(Read(text, model));
    ASSERT_EQ(model.NI1, 3);
    ASSERT_EQ(model.NJ1, 4);
    record = 0;
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 4; ++j) {
            EXPECT_EQ(model.xNode(i, j), i);
            EXPECT_EQ(model.yNode(i, j), j);
            EXPECT_EQ(model.zNode(i, j), record++);
        }
}

struct BadGrid {
    const char* text;
    const char* message;
};

class RefusedGrids : public ::testing::TestWithParam<BadGrid> {};

TEST_P(RefusedGrids, NameTheFaultAndLeaveTheModelUnchanged) {
    PanelModel model;
    ASSERT_TRUE(Read("1,1\n1,1,0,1,2\n1,2,3,4,5\n2,1,6,7,8\n2,2,9,10,11.5\n", model));
    const Status status = Read(GetParam().text, model);
    EXPECT_FALSE(status);
    EXPECT_EQ(status.message, GetParam().message);
    EXPECT_EQ(model.NI, 1);
    EXPECT_EQ(model.NJ, 1);
    EXPECT_EQ(NodesOf(model), kFourNodes);
}

INSTANTIATE_TEST_SUITE_P(
    Files, RefusedGrids,
    ::testing::Values(
        BadGrid{"", "grid.Coords is empty."},
        BadGrid{"2", "grid.Coords ends after NI: NJ is missing."},
        BadGrid{"2,3", "grid.Coords ends after NJ: the first index of node (1, 1) is missing."},
        BadGrid{"1,1\n1,1,0,0,0\n1,2,0,0,0\n2,1,1,0,0\n2,2,1,0",
                "grid.Coords ends after record 3 of 4: the z of node (2, 2) is missing."},
        BadGrid{"2,3\n1,1,0,0,0\n1,2,0,0,0\n1,3,0,0,0\n1,4,0,0,0\n2,1,1,1,0\n2,2,1,0,1\n2,3,1,-1,0\n2,4",
                "grid.Coords ends after record 7 of 12: the x of node (2, 4) is missing."},
        BadGrid{"1,1\n1,1,0,0,0\n1,2,0,zero,0\n",
                "grid.Coords, line 3, field 4: expected the y of node (1, 2), found \"zero\"."},
        BadGrid{"1,1\n1,1,0,0,0,\n1,2,0,0,0\n",
                "grid.Coords, line 2, field 6: expected the first index of node (1, 2), found an empty field."},
        BadGrid{"1,1\n1,1,0,0,NaN\n", "grid.Coords, line 2, field 5: expected the z of node (1, 1), found \"NaN\", which is not a finite number."},
        BadGrid{"1,1\n1,1,\"0,0,0\n", "grid.Coords, line 2, field 3: the quote that opens the x of node (1, 1) is not closed before the end of the line."},
        BadGrid{"1,1\n1,1,\"0\"0,0,0\n", "grid.Coords, line 2, field 3: the x of node (1, 1) has text after its closing quote; a comma or a line end must follow it."},
        BadGrid{"0,4\n", "grid.Coords, line 1, field 1: NI must be a whole number of at least 1, found 0."},
        BadGrid{"4,0\n", "grid.Coords, line 1, field 2: NJ must be a whole number of at least 1, found 0."},
        BadGrid{"2.5,4\n", "grid.Coords, line 1, field 1: NI must be a whole number of at least 1, found 2.5."},
        BadGrid{"NI=4,4\n", "grid.Coords, line 1, field 1: expected NI, found \"NI=4\"."},
        BadGrid{"4,inf\n", "grid.Coords, line 1, field 2: expected NJ, found \"inf\", which is not a finite number."}));

TEST(ReadCornerPoints, CountsTooLargeForMemoryAreRefusedBeforeAnythingIsAllocated) {
    // The node grid alone of 10^12 x 10^12 nodes could never be allocated; a message proves
    // that nothing was tried.
    for (const char* counts : {"1e12,1e12", "1000000,1000000", "1,3000000000", "3000000000,1"}) {
        PanelModel model;
        const Status status = Read(std::string(counts) + "\n1,1,0,0,0\n", model);
        ASSERT_FALSE(status) << counts;
        EXPECT_EQ(status.message.rfind("grid.Coords, line 1, field 2: NI = ", 0), 0u) << status.message;
        EXPECT_NE(status.message.find("GB"), std::string::npos) << status.message;
        EXPECT_EQ(model.NI, 0);
        EXPECT_TRUE(model.xNode.empty());
    }
}

TEST(ReadCornerPoints, AFileOnDiskIsReadAndAMissingOneIsRefusedWithItsPath) {
    testing::TempDir dir;
    const std::string path = dir.File("four.Coords");
    testing::WriteFile(path, "1,1\r\n1,1,0,1,2\r\n1,2,3,4,5\r\n2,1,6,7,8\r\n2,2,9,10,11.5\r\n");
    PanelModel model;
    ASSERT_TRUE(ReadCornerPoints(path, model));
    EXPECT_EQ(NodesOf(model), kFourNodes);
    EXPECT_EQ(ReadCornerPoints(dir.File("none.Coords"), model).message, dir.File("none.Coords") + " does not exist.");
    EXPECT_EQ(NodesOf(model), kFourNodes);
}

}  // namespace
}  // namespace panelflow
