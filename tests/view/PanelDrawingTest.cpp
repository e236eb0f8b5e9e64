// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/PanelDrawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "support/PanelTestSupport.h"
#include "support/RecordingCanvas.h"
#include "support/TempDir.h"
#include "commands/Commands.h"
#include "commands/ViewTexts.h"

namespace panelflow {
namespace {

using testing::DrawCall;
using testing::DrawKind;
using testing::RecordingCanvas;

// A session whose results file lies in a fresh temporary directory.
class SphereView : public ::testing::Test {
protected:
    void SetUp() override {
        session_.shell.OutFile = dir_.File("Axisym.txt");
        ASSERT_TRUE(StartCommand(session_, ui_));
    }

    DrawOptions Options() const { return {session_.shell.DrawPanels, session_.shell.DrawCpSurface}; }

    testing::TempDir dir_;
    Session session_;
    testing::RecordingInterface ui_;
};

// The last three calls are the axes from the image of the origin: x red, y green, z blue.
void ExpectAxesLast(const RecordingCanvas& canvas, const ViewFrame& frame) {
    ASSERT_GE(canvas.calls.size(), 3u);
    const Rgb colours[] = {kRed, kGreen, kBlue};
    for (int a = 0; a < 3; ++a) {
        const DrawCall& axis = canvas.calls[canvas.calls.size() - 3 + a];
        EXPECT_EQ(axis.kind, DrawKind::Line);
        EXPECT_EQ(axis.colour, colours[a]) << "axis " << a;
        EXPECT_FLOAT_EQ(axis.x1, static_cast<float>(-frame.centre.xc));
        EXPECT_FLOAT_EQ(axis.y1, static_cast<float>(-frame.centre.zc));
    }
}

// Every call before the axes, with the given kind and colour.
int CountBeforeAxes(const RecordingCanvas& canvas, DrawKind kind, Rgb colour) {
    int count = 0;
    for (std::size_t c = 0; c + 3 < canvas.calls.size(); ++c)
        if (canvas.calls[c].kind == kind && canvas.calls[c].colour == colour) ++count;
    return count;
}

TEST_F(SphereView, FourByFourSphereDrawsFortyRedOutlineLinesAndTheThreeAxes) {
    ASSERT_TRUE(SphereCommand(session_, "4", "4", ui_));
    RecordingCanvas canvas;
    const ViewFrame frame = RedrawView(session_.model, session_.solution.OneMinusCp, Options(), ReadViewTexts(ViewTexts{}), canvas);

    EXPECT_EQ(canvas.calls[0].kind, DrawKind::Clear);
    EXPECT_EQ(canvas.calls[1].kind, DrawKind::SetCoordinates);
    EXPECT_EQ(canvas.OfKind(DrawKind::PlotPoint).size(), 16u);
    EXPECT_EQ(CountBeforeAxes(canvas, DrawKind::LineTo, kRed), 40);
    EXPECT_EQ(canvas.OfKind(DrawKind::Line).size(), 3u);
    ExpectAxesLast(canvas, frame);

    // Angles 0: the box spans x 0..1 and z -0.5..0.5, so the sphere sits in the middle and
    // covers one twelfth of the picture's width at scale 1.
    EXPECT_NEAR(frame.centre.xc, 0.5, 1e-12);
    EXPECT_NEAR(frame.centre.zc, 0.0, 1e-12);
    float xmin = 1e9f, xmax = -1e9f;
    for (const DrawCall& line : canvas.Lines(kRed))
        if (line.kind == DrawKind::LineTo) {
            xmin = std::min({xmin, line.x1, line.x2});
            xmax = std::max({xmax, line.x1, line.x2});
        }
    EXPECT_NEAR(xmin, -0.5, 1e-6);
    EXPECT_NEAR(xmax, 0.5, 1e-6);
    EXPECT_FLOAT_EQ(canvas.calls[1].x2 - canvas.calls[1].x1, 12 * (xmax - xmin));
}

TEST_F(SphereView, AfterTheSolutionTheNetAddsTwentyEightBlueLines) {
    ASSERT_TRUE(SphereCommand(session_, "4", "4", ui_));
    ASSERT_TRUE(HessCommand(session_, ui_));
    ASSERT_TRUE(session_.shell.DrawCpSurface);
    RecordingCanvas canvas;
    const ViewFrame frame = RedrawView(session_.model, session_.solution.OneMinusCp, Options(), ReadViewTexts(ViewTexts{}), canvas);

    EXPECT_EQ(CountBeforeAxes(canvas, DrawKind::LineTo, kRed), 40);
    EXPECT_EQ(CountBeforeAxes(canvas, DrawKind::Line, kBlue), 28);
    ExpectAxesLast(canvas, frame);

    // Every net point lies 1 - Cp out along its panel's normal from the control point.
    const auto& m = session_.model;
    const DrawCall first = canvas.Lines(kBlue).front();  // from panel (1, 1) to panel (1, 2)
    const double S = session_.solution.OneMinusCp(1, 1);
    EXPECT_NEAR(first.x1, m.xC(1, 1) + S * m.ZtaX(1, 1) - frame.centre.xc, 1e-6);
    EXPECT_NEAR(first.y1, m.zC(1, 1) + S * m.ZtaZ(1, 1) - frame.centre.zc, 1e-6);
}

TEST_F(SphereView, TurningTheViewTurnsOutlinesNetAndAxesTogether) {
    ASSERT_TRUE(SphereCommand(session_, "4", "4", ui_));
    ASSERT_TRUE(HessCommand(session_, ui_));
    ViewTexts turned;
    turned.alphaX = "30";
    turned.alphaZ = "-45";
    RecordingCanvas canvas;
    const ViewFrame f = RedrawView(session_.model, session_.solution.OneMinusCp, Options(), ReadViewTexts(turned), canvas);

    // Outline of panel (2, 3): its first corner, turned and shifted.
    const auto& m = session_.model;
    const Point3 corner = RotatePoint(f.R, m.xCorner(2, 3, 1), m.yCorner(2, 3, 1), m.zCorner(2, 3, 1));
    const DrawCall point = canvas.OfKind(DrawKind::PlotPoint)[(2 - 1) * 4 + (3 - 1)];
    EXPECT_NEAR(point.x2, corner.x - f.centre.xc, 1e-6);
    EXPECT_NEAR(point.y2, corner.z - f.centre.zc, 1e-6);
    // Net point of panel (1, 1), turned by the same matrix and shifted by the same centre.
    const double S = session_.solution.OneMinusCp(1, 1);
    const Point3 net = RotatePoint(f.R, m.xC(1, 1) + S * m.ZtaX(1, 1), m.yC(1, 1) + S * m.ZtaY(1, 1),
                                   m.zC(1, 1) + S * m.ZtaZ(1, 1));
    const DrawCall ring = canvas.OfKind(DrawKind::Line).front();
    EXPECT_NEAR(ring.x1, net.x - f.centre.xc, 1e-6);
    EXPECT_NEAR(ring.y1, net.z - f.centre.zc, 1e-6);
    // The x axis ends at (5 R11 - xc, 5 R31 - zc).
    const DrawCall& xAxis = canvas.calls[canvas.calls.size() - 3];
    EXPECT_NEAR(xAxis.x2, 5 * f.R.R11 - f.centre.xc, 1e-6);
    EXPECT_NEAR(xAxis.y2, 5 * f.R.R31 - f.centre.zc, 1e-6);
}

// A hand-made model of NI x NJ panels: control point (i, 0, j), normal +z, 1 - Cp = i/10 + j/100,
// pole rows triangles. Only what the view reads is filled.
struct GridModel {
    PanelModel model;
    SurfaceSolution solution;
};

GridModel MakeGrid(int NI, int NJ) {
    GridModel g;
    PanelModel& m = g.model;
    m.NI = NI;
    m.NJ = NJ;
    m.NI1 = NI + 1;
    m.NJ1 = NJ + 1;
    m.nCorner = Array2D<int>(NI, NJ);
    m.xCorner = Array3D<double>(m.NI1, m.NJ1, 4);
    m.yCorner = Array3D<double>(m.NI1, m.NJ1, 4);
    m.zCorner = Array3D<double>(m.NI1, m.NJ1, 4);
    m.xC = Array2D<double>(NI, NJ);
    m.yC = Array2D<double>(NI, NJ);
    m.zC = Array2D<double>(NI, NJ);
    m.ZtaX = Array2D<double>(NI, NJ);
    m.ZtaY = Array2D<double>(NI, NJ);
    m.ZtaZ = Array2D<double>(NI, NJ);
    g.solution.OneMinusCp = Array2D<double>(NI, NJ);
    for (int i = 1; i <= NI; ++i)
        for (int j = 1; j <= NJ; ++j) {
            m.nCorner(i, j) = (i == 1 || i == NI) ? 3 : 4;
            const double di[] = {0, 0, 1, 1, 0}, dj[] = {0, 0, 0, 1, 1};
            for (int k = 1; k <= 4; ++k) {
                m.xCorner(i, j, k) = i - 1 + di[k];
                m.zCorner(i, j, k) = j - 1 + dj[k];
            }
            m.xC(i, j) = i;
            m.zC(i, j) = j;
            m.ZtaZ(i, j) = 1;
            g.solution.OneMinusCp(i, j) = i / 10.0 + j / 100.0;
        }
    return g;
}

struct NetCase {
    int NI, NJ;
    int rings;  // blue ring lines: NI * NJ
    int along;  // blue lines along the body: NJ * (NI - 1)
};

void PrintTo(const NetCase& c, std::ostream* out) { *out << "NI " << c.NI << ", NJ " << c.NJ; }

class NetShape : public ::testing::TestWithParam<NetCase> {};

TEST_P(NetShape, DrawsClosedRingsAndOpenLinesAlongTheBody) {
    const NetCase c = GetParam();
    const GridModel g = MakeGrid(c.NI, c.NJ);
    RecordingCanvas canvas;
    const ViewFrame frame = RedrawView(g.model, g.solution.OneMinusCp, DrawOptions{true, true}, ReadViewTexts(ViewTexts{}), canvas);
    const auto blue = canvas.OfKind(DrawKind::Line);
    ASSERT_EQ(static_cast<int>(blue.size()), c.rings + c.along + 3);

    const auto X = [&](int i, int j) {
        return static_cast<float>(g.model.xC(i, j) - frame.centre.xc);
    };
    const auto Y = [&](int i, int j) {
        return static_cast<float>(g.model.zC(i, j) + g.solution.OneMinusCp(i, j) - frame.centre.zc);
    };
    std::size_t n = 0;
    for (int i = 1; i <= c.NI; ++i)
        for (int j = 1; j <= c.NJ; ++j, ++n) {
            // Ring i: (i, j) to (i, j + 1), the last back to (i, 1).
            const int to = j == c.NJ ? 1 : j + 1;
            EXPECT_FLOAT_EQ(blue[n].x1, X(i, j)) << "ring " << i << " line " << j;
            EXPECT_FLOAT_EQ(blue[n].y1, Y(i, j)) << "ring " << i << " line " << j;
            EXPECT_FLOAT_EQ(blue[n].x2, X(i, to));
            EXPECT_FLOAT_EQ(blue[n].y2, Y(i, to));
        }
    for (int j = 1; j <= c.NJ; ++j)
        for (int i = 2; i <= c.NI; ++i, ++n) {
            EXPECT_FLOAT_EQ(blue[n].x1, X(i - 1, j));
            EXPECT_FLOAT_EQ(blue[n].y2, Y(i, j));
        }
}

INSTANTIATE_TEST_SUITE_P(Grids, NetShape,
                         ::testing::Values(NetCase{4, 4, 16, 12}, NetCase{3, 1, 3, 2}, NetCase{1, 4, 4, 0},
                                           NetCase{1, 1, 1, 0}, NetCase{5, 3, 15, 12}));

TEST(PanelDrawing, WithOneColumnEachRingIsALineFromAPointToItself) {
    const GridModel g = MakeGrid(3, 1);
    RecordingCanvas canvas;
    RedrawView(g.model, g.solution.OneMinusCp, DrawOptions{false, true}, ReadViewTexts(ViewTexts{}), canvas);
    const auto lines = canvas.OfKind(DrawKind::Line);
    for (int ring = 0; ring < 3; ++ring) {
        EXPECT_EQ(lines[ring].x1, lines[ring].x2);
        EXPECT_EQ(lines[ring].y1, lines[ring].y2);
    }
    EXPECT_TRUE(canvas.OfKind(DrawKind::LineTo).empty());  // outlines off
}

TEST(PanelDrawing, AStagnationPointsNetPointIsItsControlPoint) {
    GridModel g = MakeGrid(2, 2);
    g.solution.OneMinusCp(1, 1) = 0;
    RecordingCanvas canvas;
    const ViewFrame frame = RedrawView(g.model, g.solution.OneMinusCp, DrawOptions{false, true}, ReadViewTexts(ViewTexts{}), canvas);
    const DrawCall first = canvas.OfKind(DrawKind::Line).front();
    EXPECT_FLOAT_EQ(first.x1, static_cast<float>(1 - frame.centre.xc));
    EXPECT_FLOAT_EQ(first.y1, static_cast<float>(1 - frame.centre.zc));
}

TEST(PanelDrawing, TriangleRowsDrawTwoSidesAndQuadrilateralsThree) {
    const GridModel g = MakeGrid(3, 2);
    RecordingCanvas canvas;
    RedrawView(g.model, g.solution.OneMinusCp, DrawOptions{true, false}, ReadViewTexts(ViewTexts{}), canvas);
    // Each panel: a point at corner 1, then a line to each further corner, never back to corner 1.
    std::vector<int> linesPerPanel;
    for (const DrawCall& c : canvas.calls) {
        if (c.kind == DrawKind::PlotPoint) linesPerPanel.push_back(0);
        if (c.kind == DrawKind::LineTo) ++linesPerPanel.back();
    }
    EXPECT_EQ(linesPerPanel, (std::vector<int>{2, 2, 3, 3, 2, 2}));
    EXPECT_EQ(canvas.Lines(kBlue).size(), 1u);  // only the z axis: the net is off
}

TEST(PanelDrawing, BeforeAnyGeometryOnlyTheAxesAreDrawn) {
    RecordingCanvas canvas;
    RedrawView(PanelModel{}, Array2D<double>{}, DrawOptions{true, true}, ReadViewTexts(ViewTexts{}), canvas);
    ASSERT_EQ(canvas.calls.size(), 5u);
    EXPECT_EQ(canvas.calls[0].kind, DrawKind::Clear);
    EXPECT_EQ(canvas.calls[1].kind, DrawKind::SetCoordinates);
    // With the angles 0 the x axis runs to (5, 0), y to the origin itself, z to (0, 5).
    EXPECT_FLOAT_EQ(canvas.calls[2].x2, 5);
    EXPECT_FLOAT_EQ(canvas.calls[3].x2, 0);
    EXPECT_FLOAT_EQ(canvas.calls[3].y2, 0);
    EXPECT_FLOAT_EQ(canvas.calls[4].y2, 5);
}

TEST(PanelDrawing, AxesFollowTheAnglesAboutX) {
    RecordingCanvas canvas;
    ViewTexts texts;
    texts.alphaX = "90";
    RedrawView(PanelModel{}, Array2D<double>{}, DrawOptions{}, ReadViewTexts(texts), canvas);
    const DrawCall& y = canvas.calls[3];
    const DrawCall& z = canvas.calls[4];
    EXPECT_NEAR(y.x2, 0, 1e-6);  // +y straight above the origin
    EXPECT_NEAR(y.y2, 5, 1e-6);
    EXPECT_NEAR(z.x2, 0, 1e-6);  // the z axis shrinks to a point
    EXPECT_NEAR(z.y2, 0, 1e-6);
}

TEST(PanelDrawing, ANetWithoutValuesForThesePanelsIsNotDrawn) {
    GridModel g = MakeGrid(3, 3);
    g.solution.OneMinusCp = Array2D<double>(2, 3);  // left from a smaller geometry
    RecordingCanvas canvas;
    RedrawView(g.model, g.solution.OneMinusCp, DrawOptions{true, true}, ReadViewTexts(ViewTexts{}), canvas);
    EXPECT_EQ(canvas.OfKind(DrawKind::Line).size(), 3u);
}

TEST(PanelDrawing, TheScaleBoxSetsTheVisibleRange) {
    RecordingCanvas canvas;
    ViewTexts texts;
    texts.scale = "2";
    RedrawView(PanelModel{}, Array2D<double>{}, DrawOptions{}, ReadViewTexts(texts), canvas);
    EXPECT_FLOAT_EQ(canvas.calls[1].x1, -3);
    EXPECT_FLOAT_EQ(canvas.calls[1].x2, 3);
    texts.scale = "zero";
    RedrawView(PanelModel{}, Array2D<double>{}, DrawOptions{}, ReadViewTexts(texts), canvas);
    EXPECT_FLOAT_EQ(canvas.calls[6].x1, -6);
}

// 800 x 300 panels are more than the picture's 400 x 400 pixels: the outlines and the net are drawn
// at no more than 400 rows and columns, around the centre of every corner, and the drawing still
// spans the whole body.
TEST(PanelDrawing, AMeshFinerThanThePictureIsDrawnAsWhatThePictureCanShow) {
    const PanelModel model = testing::SpherePanels(800, 300);
    Array2D<double> OneMinusCp(800, 300);
    for (int i = 1; i <= 800; ++i)
        for (int j = 1; j <= 300; ++j) OneMinusCp(i, j) = 0.5;
    const ViewSettings settings{30, 20, -10, 2};
    RecordingCanvas canvas;
    const ViewFrame frame = RedrawView(model, OneMinusCp, DrawOptions{true, true}, settings, canvas);

    RotatedCorners rotated = RotateCorners(model, frame.R);
    const ViewCentre centre = CentreCorners(model, rotated);
    EXPECT_EQ(frame.centre.xc, centre.xc);
    EXPECT_EQ(frame.centre.zc, centre.zc);
    ExpectAxesLast(canvas, frame);

    const auto red = CountBeforeAxes(canvas, DrawKind::Line, kRed), blue = CountBeforeAxes(canvas, DrawKind::Line, kBlue);
    EXPECT_GT(red, 1000);
    EXPECT_LE(red, 2 * 401 * 401);
    EXPECT_GT(blue, 1000);
    EXPECT_LE(blue, 2 * 401 * 401);
    EXPECT_TRUE(canvas.OfKind(DrawKind::PlotPoint).empty());
    float low = 1e9f, high = -1e9f, cornerLow = 1e9f, cornerHigh = -1e9f;
    for (std::size_t c = 0; c + 3 < canvas.calls.size(); ++c)
        if (canvas.calls[c].colour == kRed)
            for (float x : {canvas.calls[c].x1, canvas.calls[c].x2}) low = std::min(low, x), high = std::max(high, x);
    for (int i = 1; i <= model.NI; ++i)
        for (int j = 1; j <= model.NJ; ++j)
            for (int k = 1; k <= model.nCorner(i, j); ++k) {
                cornerLow = std::min(cornerLow, static_cast<float>(rotated.xCornerRot(i, j, k)));
                cornerHigh = std::max(cornerHigh, static_cast<float>(rotated.xCornerRot(i, j, k)));
            }
    EXPECT_GE(low, cornerLow - 1e-6f);
    EXPECT_LE(high, cornerHigh + 1e-6f);
    EXPECT_GT(high - low, 0.99f * (cornerHigh - cornerLow));
}

}  // namespace
}  // namespace panelflow
