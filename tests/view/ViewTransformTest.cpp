// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/ViewTransform.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <ostream>

#include "support/RecordingCanvas.h"

namespace panelflow {
namespace {

using Matrix = std::array<std::array<double, 3>, 3>;

Matrix Product(const Matrix& a, const Matrix& b) {
    Matrix p{};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            for (int k = 0; k < 3; ++k) p[r][c] += a[r][k] * b[k][c];
    return p;
}

Matrix AsArray(const ViewMatrix& R) {
    return {{{R.R11, R.R12, R.R13}, {R.R21, R.R22, R.R23}, {R.R31, R.R32, R.R33}}};
}

double Rad(double degrees) { return degrees * std::acos(-1.0) / 180.0; }

// Elementary right-handed turns about the fixed axes.
Matrix TurnX(double a) { return {{{1, 0, 0}, {0, std::cos(a), -std::sin(a)}, {0, std::sin(a), std::cos(a)}}}; }
Matrix TurnY(double a) { return {{{std::cos(a), 0, std::sin(a)}, {0, 1, 0}, {-std::sin(a), 0, std::cos(a)}}}; }
Matrix TurnZ(double a) { return {{{std::cos(a), -std::sin(a), 0}, {std::sin(a), std::cos(a), 0}, {0, 0, 1}}}; }

void ExpectMatrixNear(const Matrix& expected, const ViewMatrix& actual) {
    const Matrix a = AsArray(actual);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(expected[r][c], a[r][c], 1e-15) << "row " << r + 1 << " column " << c + 1;
}

TEST(ViewMatrix, AllAnglesZeroGiveTheIdentity) {
    ExpectMatrixNear({{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}, BuildViewMatrix(0, 0, 0));
}

TEST(ViewMatrix, NinetyDegreesAboutXSendsYUpAndZIntoTheScreen) {
    const ViewMatrix R = BuildViewMatrix(90, 0, 0);
    ExpectMatrixNear({{{1, 0, 0}, {0, 0, -1}, {0, 1, 0}}}, R);
    // A point on +y is drawn straight above the origin; the z axis projects onto the origin.
    const Point3 y = RotatePoint(R, 0, 1, 0);
    EXPECT_NEAR(y.x, 0, 1e-15);
    EXPECT_NEAR(y.z, 1, 1e-15);
    const Point3 z = RotatePoint(R, 0, 0, 1);
    EXPECT_NEAR(z.x, 0, 1e-15);
    EXPECT_NEAR(z.z, 0, 1e-15);
}

TEST(ViewMatrix, NinetyDegreesAboutZHidesXAndTurnsYToTheLeft) {
    const ViewMatrix R = BuildViewMatrix(0, 0, 90);
    const Point3 x = RotatePoint(R, 1, 0, 0);
    EXPECT_NEAR(x.x, 0, 1e-15);
    EXPECT_NEAR(x.z, 0, 1e-15);
    const Point3 y = RotatePoint(R, 0, 1, 0);
    EXPECT_NEAR(y.x, -1, 1e-15);
    EXPECT_NEAR(y.z, 0, 1e-15);
}

class ViewMatrixComposition : public ::testing::TestWithParam<std::array<double, 3>> {};

// R turns first about x, then about the fixed y, then about the fixed z axis.
TEST_P(ViewMatrixComposition, EqualsTheProductOfTheThreeElementaryTurns) {
    const auto [ax, ay, az] = GetParam();
    const Matrix expected = Product(TurnZ(Rad(az)), Product(TurnY(Rad(ay)), TurnX(Rad(ax))));
    ExpectMatrixNear(expected, BuildViewMatrix(ax, ay, az));
}

INSTANTIATE_TEST_SUITE_P(Angles, ViewMatrixComposition,
                         ::testing::Values(std::array<double, 3>{30, 40, 50}, std::array<double, 3>{-90, 45, 10},
                                           std::array<double, 3>{0, -73, 0}, std::array<double, 3>{721, -360.5, 89}));

TEST(ViewMatrix, AnAngleThatOverflowsCountsAsZero) {
    ExpectMatrixNear(AsArray(BuildViewMatrix(0, 20, 0)), BuildViewMatrix(1e308, 20, -HUGE_VAL));
}

TEST(SetUpPicture, ClearsThenSetsTheWindowToSixOverTheScale) {
    testing::RecordingCanvas canvas;
    SetUpPicture(canvas, 2);
    ASSERT_EQ(canvas.calls.size(), 2u);
    EXPECT_EQ(canvas.calls[0].kind, testing::DrawKind::Clear);
    const auto& window = canvas.calls[1];
    EXPECT_EQ(window.kind, testing::DrawKind::SetCoordinates);
    EXPECT_FLOAT_EQ(window.x1, -3);
    EXPECT_FLOAT_EQ(window.y1, 3);
    EXPECT_FLOAT_EQ(window.x2, 3);
    EXPECT_FLOAT_EQ(window.y2, -3);
}

// A model with one quadrilateral panel row between two triangle rows, corners set directly.
PanelModel BoxModel(double x0, double x1) {
    PanelModel model;
    model.NI = 1;
    model.NJ = 1;
    model.NI1 = 2;
    model.NJ1 = 2;
    model.nCorner = Array2D<int>(1, 1);
    model.nCorner(1, 1) = 4;
    model.xCorner = Array3D<double>(2, 2, 4);
    model.yCorner = Array3D<double>(2, 2, 4);
    model.zCorner = Array3D<double>(2, 2, 4);
    const double xs[] = {0, x0, x1, x1, x0}, zs[] = {0, -0.5, -0.5, 0.25, 0.25};
    for (int k = 1; k <= 4; ++k) {
        model.xCorner(1, 1, k) = xs[k];
        model.yCorner(1, 1, k) = 7;  // depth never enters the centre
        model.zCorner(1, 1, k) = zs[k];
    }
    return model;
}

TEST(Centring, TheBoxAlwaysContainsTheOrigin) {
    const PanelModel model = BoxModel(2, 3);
    RotatedCorners rotated = RotateCorners(model, BuildViewMatrix(0, 0, 0));
    const ViewCentre centre = CentreCorners(model, rotated);
    EXPECT_DOUBLE_EQ(centre.xc, 1.5);
    EXPECT_DOUBLE_EQ(centre.zc, -0.125);
    EXPECT_DOUBLE_EQ(rotated.xCornerRot(1, 1, 1), 0.5);
    EXPECT_DOUBLE_EQ(rotated.zCornerRot(1, 1, 1), -0.375);
    EXPECT_DOUBLE_EQ(rotated.yCornerRot(1, 1, 1), 7);  // not shifted
}

TEST(Centring, ABodyAroundTheOriginIsCentredOnItsBox) {
    const PanelModel model = BoxModel(-3, 1);
    RotatedCorners rotated = RotateCorners(model, BuildViewMatrix(0, 0, 0));
    const ViewCentre centre = CentreCorners(model, rotated);
    EXPECT_DOUBLE_EQ(centre.xc, -1);
    EXPECT_DOUBLE_EQ(centre.zc, -0.125);
}

TEST(Centring, RotatedCornersOutsideTheUsedRangeStayZero) {
    const PanelModel model = BoxModel(2, 3);
    RotatedCorners rotated = RotateCorners(model, BuildViewMatrix(10, 20, 30));
    CentreCorners(model, rotated);
    EXPECT_EQ(rotated.xCornerRot.upper1(), 2);
    EXPECT_EQ(rotated.xCornerRot.upper3(), 4);
    EXPECT_EQ(rotated.xCornerRot(2, 2, 4), 0);
    EXPECT_EQ(rotated.zCornerRot(1, 2, 1), 0);
}

}  // namespace
}  // namespace panelflow
