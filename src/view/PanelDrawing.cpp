// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/PanelDrawing.h"

#include <vector>

namespace panelflow {
namespace {

// Length of each drawn axis, in body units.
constexpr double kAxisLength = 5.0;

// The picture is 400 x 400 pixels: it cannot show more panels than that one by one, nor more
// than 400 lines side by side. A finer mesh is drawn with every kI-th row and kJ-th column of
// nodes as lines through their nodes, and its net at the same rows and columns of panels, with
// at most kMostLinesAcross of them each way.
constexpr long long kMostPanelsDrawnOneByOne = 400LL * 400LL;
constexpr int kMostLinesAcross = 400;

float F(double value) { return static_cast<float>(value); }

bool NetCoversModel(const PanelModel& model, const Array2D<double>& OneMinusCp) {
    return !OneMinusCp.empty() && OneMinusCp.upper1() >= model.NI && OneMinusCp.upper2() >= model.NJ;
}

struct NetPoints {
    Array2D<double> xCpRot, yCpRot, zCpRot;
};

// Each panel's control point moved along its normal by 1 - Cp, then rotated.
void RotateNetPoints(const PanelModel& model, const Array2D<double>& OneMinusCp, const ViewMatrix& R, NetPoints& net) {
    for (int i = 1; i <= model.NI; ++i)
        for (int j = 1; j <= model.NJ; ++j) {
            const double S = OneMinusCp(i, j);
            const Point3 p = RotatePoint(R, model.xC(i, j) + S * model.ZtaX(i, j), model.yC(i, j) + S * model.ZtaY(i, j),
                                         model.zC(i, j) + S * model.ZtaZ(i, j));
            net.xCpRot(i, j) = p.x;
            net.yCpRot(i, j) = p.y;
            net.zCpRot(i, j) = p.z;
        }
}

// Open outlines: the side from the last corner back to corner 1 is drawn by a neighbour.
void DrawPanelOutlines(const PanelModel& model, const RotatedCorners& rotated, Canvas& canvas) {
    for (int i = 1; i <= model.NI; ++i)
        for (int j = 1; j <= model.NJ; ++j) {
            canvas.PlotPoint(F(rotated.xCornerRot(i, j, 1)), F(rotated.zCornerRot(i, j, 1)));
            for (int k = 2; k <= model.nCorner(i, j); ++k)
                canvas.LineTo(F(rotated.xCornerRot(i, j, k)), F(rotated.zCornerRot(i, j, k)), kRed);
        }
}

// Closed rings around the body, then open lines along it.
void DrawNet(const PanelModel& model, const NetPoints& net, const ViewCentre& centre, Canvas& canvas) {
    const auto X = [&](int i, int j) { return F(net.xCpRot(i, j) - centre.xc); };
    const auto Y = [&](int i, int j) { return F(net.zCpRot(i, j) - centre.zc); };
    for (int i = 1; i <= model.NI; ++i) {
        for (int j = 2; j <= model.NJ; ++j) canvas.Line(X(i, j - 1), Y(i, j - 1), X(i, j), Y(i, j), kBlue);
        canvas.Line(X(i, model.NJ), Y(i, model.NJ), X(i, 1), Y(i, 1), kBlue);
    }
    for (int j = 1; j <= model.NJ; ++j)
        for (int i = 2; i <= model.NI; ++i) canvas.Line(X(i - 1, j), Y(i - 1, j), X(i, j), Y(i, j), kBlue);
}

// From the image of the body's origin to the images of (5, 0, 0), (0, 5, 0), (0, 0, 5).
void DrawAxes(const ViewMatrix& R, const ViewCentre& centre, Canvas& canvas) {
    const float x0 = F(-centre.xc), z0 = F(-centre.zc);
    canvas.Line(x0, z0, F(kAxisLength * R.R11 - centre.xc), F(kAxisLength * R.R31 - centre.zc), kRed);
    canvas.Line(x0, z0, F(kAxisLength * R.R12 - centre.xc), F(kAxisLength * R.R32 - centre.zc), kGreen);
    canvas.Line(x0, z0, F(kAxisLength * R.R13 - centre.xc), F(kAxisLength * R.R33 - centre.zc), kBlue);
}

// first, first + step, ... and always last.
std::vector<int> EveryStep(int first, int last, int step) {
    std::vector<int> taken;
    for (int k = first; k < last; k += step) taken.push_back(k);
    taken.push_back(last);
    return taken;
}

// The rows and columns of a mesh too fine to draw one by one: node rows and columns for the
// outlines (1 .. NI1, 1 .. NJ1), panel rows and columns for the net (1 .. NI, 1 .. NJ).
struct CoarseMesh {
    std::vector<int> nodeRows, nodeColumns, panelRows, panelColumns;
};

CoarseMesh CoarseMeshOf(const PanelModel& model) {
    const int kI = (model.NI + kMostLinesAcross - 1) / kMostLinesAcross;
    const int kJ = (model.NJ + kMostLinesAcross - 1) / kMostLinesAcross;
    return {EveryStep(1, model.NI1, kI), EveryStep(1, model.NJ1, kJ), EveryStep(1, model.NI, kI),
            EveryStep(1, model.NJ, kJ)};
}

// Every node row of the coarse mesh as a line through its nodes around the body, then every node
// column along it, in red.
void DrawCoarseOutlines(const PanelModel& model, const CoarseMesh& mesh, const ViewMatrix& R, const ViewCentre& centre,
                        Canvas& canvas) {
    const auto X = [&](const Point3& p) { return F(p.x - centre.xc); };
    const auto Y = [&](const Point3& p) { return F(p.z - centre.zc); };
    const auto node = [&](int i, int j) { return RotatePoint(R, model.xNode(i, j), model.yNode(i, j), model.zNode(i, j)); };
    const auto polyline = [&](const std::vector<int>& along, auto&& point) {
        Point3 previous = point(along.front());
        for (std::size_t n = 1; n < along.size(); ++n) {
            const Point3 next = point(along[n]);
            canvas.Line(X(previous), Y(previous), X(next), Y(next), kRed);
            previous = next;
        }
    };
    for (int i : mesh.nodeRows) polyline(mesh.nodeColumns, [&](int j) { return node(i, j); });
    for (int j : mesh.nodeColumns) polyline(mesh.nodeRows, [&](int i) { return node(i, j); });
}

// The net at the coarse mesh's panels: closed rings around the body, open lines along it.
void DrawCoarseNet(const PanelModel& model, const Array2D<double>& OneMinusCp, const CoarseMesh& mesh,
                   const ViewMatrix& R, const ViewCentre& centre, Canvas& canvas) {
    const std::size_t columns = mesh.panelColumns.size();
    std::vector<Point3> net(mesh.panelRows.size() * columns);
    for (std::size_t a = 0; a < mesh.panelRows.size(); ++a)
        for (std::size_t b = 0; b < columns; ++b) {
            const int i = mesh.panelRows[a], j = mesh.panelColumns[b];
            const double S = OneMinusCp(i, j);
            net[a * columns + b] = RotatePoint(R, model.xC(i, j) + S * model.ZtaX(i, j), model.yC(i, j) + S * model.ZtaY(i, j),
                                               model.zC(i, j) + S * model.ZtaZ(i, j));
        }
    const auto line = [&](const Point3& p, const Point3& q) {
        canvas.Line(F(p.x - centre.xc), F(p.z - centre.zc), F(q.x - centre.xc), F(q.z - centre.zc), kBlue);
    };
    for (std::size_t a = 0; a < mesh.panelRows.size(); ++a) {
        for (std::size_t b = 1; b < columns; ++b) line(net[a * columns + b - 1], net[a * columns + b]);
        line(net[a * columns + columns - 1], net[a * columns]);
    }
    for (std::size_t b = 0; b < columns; ++b)
        for (std::size_t a = 1; a < mesh.panelRows.size(); ++a) line(net[(a - 1) * columns + b], net[a * columns + b]);
}

}  // namespace

ViewFrame RedrawView(const PanelModel& model, const Array2D<double>& OneMinusCp, const DrawOptions& options,
                     const ViewSettings& settings, Canvas& canvas) {
    ViewFrame frame;
    frame.R = BuildViewMatrix(settings.alphaX, settings.alphaY, settings.alphaZ);
    const bool drawNet = options.DrawCpSurface && NetCoversModel(model, OneMinusCp);
    if (model.PanelCount() > kMostPanelsDrawnOneByOne) {
        const CoarseMesh mesh = CoarseMeshOf(model);
        frame.centre = CornerCentre(model, frame.R);
        frame.scale = UsableScale(settings.scale);
        SetUpPicture(canvas, frame.scale);
        if (options.DrawPanels) DrawCoarseOutlines(model, mesh, frame.R, frame.centre, canvas);
        if (drawNet) DrawCoarseNet(model, OneMinusCp, mesh, frame.R, frame.centre, canvas);
        DrawAxes(frame.R, frame.centre, canvas);
        return frame;
    }

    NetPoints net{Array2D<double>(model.NI, model.NJ), Array2D<double>(model.NI, model.NJ),
                  Array2D<double>(model.NI, model.NJ)};
    RotatedCorners rotated = RotateCorners(model, frame.R);
    if (drawNet) RotateNetPoints(model, OneMinusCp, frame.R, net);
    frame.centre = CentreCorners(model, rotated);
    frame.scale = UsableScale(settings.scale);
    SetUpPicture(canvas, frame.scale);
    if (options.DrawPanels) DrawPanelOutlines(model, rotated, canvas);
    if (drawNet) DrawNet(model, net, frame.centre, canvas);
    DrawAxes(frame.R, frame.centre, canvas);
    return frame;
}

}  // namespace panelflow
