// SPDX-License-Identifier: GPL-3.0-or-later
#include "input/BodyProfileFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/TempDir.h"

namespace panelflow {
namespace {

struct Points {
    std::vector<double> x, r;
    bool operator==(const Points&) const = default;
};

Points PointsOf(const BodyProfile& profile) {
    Points points;
    for (std::ptrdiff_t n = 1; n <= profile.xI.upper(); ++n) {
        points.x.push_back(profile.xI(n));
        points.r.push_back(profile.rI(n));
    }
    return points;
}

Status Read(std::string_view text, BodyProfile& profile, int NJ = 4) {
    FieldReader fields(text, "body.BodyFoil");
    return ReadBodyProfile(fields, NJ, profile);
}

const Points kFourPoints{{0.0, 0.25, 0.75, 1.0}, {0.0, 0.5, 0.5, 0.0}};

class ProfileLayouts : public ::testing::TestWithParam<const char*> {};

TEST_P(ProfileLayouts, ReadTheSamePointsInFileOrder) {
    BodyProfile profile;
    const Status status = Read(GetParam(), profile);
    ASSERT_TRUE(status) << status.message;
    EXPECT_EQ(profile.xI.upper(), 4);
    EXPECT_EQ(PointsOf(profile), kFourPoints);
    EXPECT_EQ(profile.xI(0), 0.0);  // index 0 allocated and left zero
}

INSTANTIATE_TEST_SUITE_P(
    Files, ProfileLayouts,
    ::testing::Values(
        // one line per point
        "Body,4,points\n1,0,0\n2,0.25,0.5\n3,0.75,0.5\n4,1,0\n",
        // every field on a line of its own, CR LF
        "Body\r\n4\r\npoints\r\n1\r\n0\r\n0\r\n2\r\n0.25\r\n.5\r\n3\r\n0.75\r\n0.5\r\n4\r\n1\r\n0\r\n",
        // several records to a line, records split over lines
        "Body,4,points,1,0,0,2,0.25\n0.5,3,0.75,0.5,4,1,0",
        // blanks and tabs alone between the numbers; text header fields may hold blanks
        "Body of revolution, 4 number of points\n1 0 0\n2\t0.25\t0.5\n  3  7.5e-1  5e-1\n4 1. 0.\n",
        // quoted header fields holding commas, point numbers out of order, repeated or zero
        "\"Body, 4:1\", 4, \"n, x, r\"\n0,0,0\n7,0.25,0.5\n7,0.75,0.5\n-1,1,0\n",
        // notes after the last record, even ones that would not read, are not read
        "Body,4,points\n1,0,0\n2,0.25,0.5\n3,0.75,0.5\n4,1,0\nThese points came from \"a drawing\n1e999, nan, abc\n",
        // a whole-number NP written with a point or an exponent
        "Body,4.0,points\n1,0,0\n2,0.25,0.5\n3,0.75,0.5\n4,1,0\n", "Body,+0.4e1,points\n1,0,0\n2,0.25,0.5\n3,0.75,0.5\n4,1,0\n"));

TEST(ReadBodyProfile, ValidButUnusualProfilesAreReadAsTheyStand) {
    // Tail to nose, a negative radius, ends off the axis: read without refusal.
    BodyProfile profile;
    ASSERT_TRUE(Read("x,3,y\n1,2,0.1\n2,1,-0.5\n3,0,0.2\n", profile));
    EXPECT_EQ(PointsOf(profile), (Points{{2.0, 1.0, 0.0}, {0.1, -0.5, 0.2}}));
}

struct BadProfile {
    const char* text;
    const char* message;
};

class RefusedProfiles : public ::testing::TestWithParam<BadProfile> {};

TEST_P(RefusedProfiles, NameTheFaultAndLeaveTheProfileUnchanged) {
    BodyProfile profile;
    ASSERT_TRUE(Read("old,2,points\n1,5,6\n2,7,8\n", profile));
    const Status status = Read(GetParam().text, profile);
    EXPECT_FALSE(status);
    EXPECT_EQ(status.message, GetParam().message);
    EXPECT_EQ(PointsOf(profile), (Points{{5.0, 7.0}, {6.0, 8.0}}));
}

INSTANTIATE_TEST_SUITE_P(
    Files, RefusedProfiles,
    ::testing::Values(
        BadProfile{"", "body.BodyFoil is empty."},
        BadProfile{"Body", "body.BodyFoil ends after the first header field: NP is missing."},
        BadProfile{"Body,3", "body.BodyFoil ends after NP: the third header field is missing."},
        BadProfile{"Body,3,points\n", "body.BodyFoil ends after the header: the point number of point 1 is missing."},
        BadProfile{"Body,3,points\n1,0,0\n2,0.5,0.5\n3,1",
                   "body.BodyFoil ends after record 2 of 3: the r of point 3 is missing."},
        BadProfile{"Body,12,points\n1,0,0\n2,1,1\n3,2,1\n4,3,1\n5,4,1\n6,5,1\n7,6,1\n8,7",
                   "body.BodyFoil ends after record 7 of 12: the r of point 8 is missing."},
        BadProfile{"Body,3,points\n1,0,0\n2,0.5,0.5,\n3,1,0",
                   "body.BodyFoil, line 3, field 4: expected the point number of point 3, found an empty field."},
        BadProfile{"Body,3,points\n1,0,0\nP2,0.5,0.5\n3,1,0",
                   "body.BodyFoil, line 3, field 1: expected the point number of point 2, found \"P2\"."},
        BadProfile{"Body,3,points\n1,0,0\n2,abc,0.5\n3,1,0",
                   "body.BodyFoil, line 3, field 2: expected the x of point 2, found \"abc\"."},
        BadProfile{"Body,3,points\n1,0,0\n2,0.5,nan\n3,1,0",
                   "body.BodyFoil, line 3, field 3: expected the r of point 2, found \"nan\", which is not a finite number."},
        BadProfile{"Body,3,\"points\n1,0,0\n",
                   "body.BodyFoil, line 1, field 3: the quote that opens the third header field is not closed before the end of the line."},
        BadProfile{"\"Body, 4:1\" x,3,points\n",
                   "body.BodyFoil, line 1, field 1: the first header field has text after its closing quote; a comma or a line end must follow it."},
        BadProfile{"Body,1.5,points\n", "body.BodyFoil, line 1, field 2: NP must be a whole number of at least 2, found 1.5."},
        BadProfile{"Body,1,points\n1,0,0\n", "body.BodyFoil, line 1, field 2: NP must be a whole number of at least 2, found 1."},
        BadProfile{"Body,five,points\n", "body.BodyFoil, line 1, field 2: expected NP, found \"five\"."},
        // an unquoted comma in the title moves NP to the next field
        BadProfile{"Body, 4:1, 3, points\n", "body.BodyFoil, line 1, field 2: expected NP, found \"4:1\"."}));

TEST(ReadBodyProfile, APointCountTooLargeForMemoryIsRefusedBeforeAnythingIsAllocated) {
    // 10^12 points would need terabytes: allocating them would throw, not return a message.
    for (const char* count : {"1e12", "1000000000000", "3000000000"}) {
        BodyProfile profile;
        const Status status = Read(std::string("Body,") + count + ",points\n1,0,0\n", profile, 1);
        ASSERT_FALSE(status) << count;
        EXPECT_EQ(status.message.rfind(std::string("body.BodyFoil, line 1, field 2: NP = ") + count + " points are too many. ", 0), 0u)
            << status.message;
        EXPECT_NE(status.message.find("GB"), std::string::npos) << status.message;
        EXPECT_TRUE(profile.xI.empty());
    }
}

TEST(ReadBodyProfile, TheMemoryCheckCountsThePanelsAroundTheBody) {
    // A point count that fits with one column of panels may not fit with many.
    BodyProfile profile;
    std::string text = "Body,3001,points\n";
    for (int n = 1; n <= 3001; ++n) text += CountText(n) + ",0,1\n";
    EXPECT_TRUE(Read(text, profile, 1));
    EXPECT_FALSE(Read(text, profile, 1000000));
}

TEST(ReadBodyProfile, AFileOnDiskIsReadAndAMissingOneIsRefusedWithItsPath) {
    testing::TempDir dir;
    const std::string path = dir.File("two.BodyFoil");
    testing::WriteFile(path, "Two,2,points\r\n1,0,0\r\n2,1,0\r\n");
    BodyProfile profile;
    ASSERT_TRUE(ReadBodyProfile(path, 4, profile));
    EXPECT_EQ(PointsOf(profile), (Points{{0.0, 1.0}, {0.0, 0.0}}));
    EXPECT_EQ(ReadBodyProfile(dir.File("none.BodyFoil"), 4, profile).message, dir.File("none.BodyFoil") + " does not exist.");
    EXPECT_EQ(ReadBodyProfile(dir.path().string(), 4, profile).message, dir.path().string() + " is a directory, not a file.");
    EXPECT_EQ(PointsOf(profile), (Points{{0.0, 1.0}, {0.0, 0.0}}));
}

}  // namespace
}  // namespace panelflow
