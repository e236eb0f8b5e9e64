#include "view/PanelDrawing.h"

namespace panelflow {
namespace {

// Length of each drawn axis, in body units.
constexpr double kAxisLength = 5.0;

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

}  // namespace

ViewFrame RedrawView(const PanelModel& model, const Array2D<double>& OneMinusCp, const DrawOptions& options,
                     const ViewSettings& settings, Canvas& canvas) {
    ViewFrame frame;
    NetPoints net{Array2D<double>(model.NI, model.NJ), Array2D<double>(model.NI, model.NJ),
                  Array2D<double>(model.NI, model.NJ)};
    frame.R = BuildViewMatrix(settings.alphaX, settings.alphaY, settings.alphaZ);
    RotatedCorners rotated = RotateCorners(model, frame.R);
    const bool drawNet = options.DrawCpSurface && NetCoversModel(model, OneMinusCp);
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
