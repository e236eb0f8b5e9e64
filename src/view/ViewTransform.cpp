// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/ViewTransform.h"

#include <cmath>


namespace panelflow {
namespace {

// Half the width of the visible square at scale 1, in body units.
constexpr double kHalfPictureSpan = 6.0;

double Radians(double degrees) {
    const double radians = degrees * Pi / 180.0;
    return std::isfinite(radians) ? radians : 0.0;
}

}  // namespace

ViewMatrix BuildViewMatrix(double alphaX, double alphaY, double alphaZ) {
    const double ax = Radians(alphaX), ay = Radians(alphaY), az = Radians(alphaZ);
    const double cx = std::cos(ax), sx = std::sin(ax);
    const double cy = std::cos(ay), sy = std::sin(ay);
    const double cz = std::cos(az), sz = std::sin(az);
    ViewMatrix R;
    R.R11 = cy * cz;
    R.R12 = sx * sy * cz - cx * sz;
    R.R13 = cx * sy * cz + sx * sz;
    R.R21 = cy * sz;
    R.R22 = sx * sy * sz + cx * cz;
    R.R23 = cx * sy * sz - sx * cz;
    R.R31 = -sy;
    R.R32 = sx * cy;
    R.R33 = cx * cy;
    return R;
}

Point3 RotatePoint(const ViewMatrix& R, double x, double y, double z) {
    return {R.R11 * x + R.R12 * y + R.R13 * z,
            R.R21 * x + R.R22 * y + R.R23 * z,
            R.R31 * x + R.R32 * y + R.R33 * z};
}

double UsableScale(double s) {
    // The coordinate window is handed to the picture in single precision: a scale whose
    // half-span would overflow or vanish there is no usable scale.
    if (!(s > 0.0) || !std::isfinite(s)) return 1.0;
    const float half = static_cast<float>(kHalfPictureSpan / s);
    if (!std::isfinite(half) || !std::isnormal(half)) return 1.0;
    return s;
}

RotatedCorners RotateCorners(const PanelModel& model, const ViewMatrix& R) {
    RotatedCorners rotated{Array3D<double>(model.NI1, model.NJ1, 4), Array3D<double>(model.NI1, model.NJ1, 4),
                           Array3D<double>(model.NI1, model.NJ1, 4)};
    for (int i = 1; i <= model.NI; ++i)
        for (int j = 1; j <= model.NJ; ++j)
            for (int k = 1; k <= model.nCorner(i, j); ++k) {
                const Point3 p = RotatePoint(R, model.xCorner(i, j, k), model.yCorner(i, j, k), model.zCorner(i, j, k));
                rotated.xCornerRot(i, j, k) = p.x;
                rotated.yCornerRot(i, j, k) = p.y;
                rotated.zCornerRot(i, j, k) = p.z;
            }
    return rotated;
}

namespace {

// The box that the points (x', z') and the origin span: it starts at the origin, not at the
// first point, so the origin always lies in it.
struct Box {
    double xmin = 0, xmax = 0, zmin = 0, zmax = 0;
    void Add(double x, double z) {
        if (x < xmin) xmin = x;
        if (x > xmax) xmax = x;
        if (z < zmin) zmin = z;
        if (z > zmax) zmax = z;
    }
    ViewCentre Centre() const { return {(xmin + xmax) / 2, (zmin + zmax) / 2}; }
};

}  // namespace

ViewCentre CentreCorners(const PanelModel& model, RotatedCorners& rotated) {
    Box box;
    for (int i = 1; i <= model.NI; ++i)
        for (int j = 1; j <= model.NJ; ++j)
            for (int k = 1; k <= model.nCorner(i, j); ++k) box.Add(rotated.xCornerRot(i, j, k), rotated.zCornerRot(i, j, k));
    const ViewCentre centre = box.Centre();
    for (int i = 1; i <= model.NI; ++i)
        for (int j = 1; j <= model.NJ; ++j)
            for (int k = 1; k <= model.nCorner(i, j); ++k) {
                rotated.xCornerRot(i, j, k) -= centre.xc;
                rotated.zCornerRot(i, j, k) -= centre.zc;
            }
    return centre;
}

ViewCentre CornerCentre(const PanelModel& model, const ViewMatrix& R) {
    Box box;
    for (int i = 1; i <= model.NI; ++i)
        for (int j = 1; j <= model.NJ; ++j)
            for (int k = 1; k <= model.nCorner(i, j); ++k) {
                const Point3 p = RotatePoint(R, model.xCorner(i, j, k), model.yCorner(i, j, k), model.zCorner(i, j, k));
                box.Add(p.x, p.z);
            }
    return box.Centre();
}

void SetUpPicture(Canvas& canvas, double s) {
    canvas.Clear();
    const double half = kHalfPictureSpan / s;
    canvas.SetCoordinates(static_cast<float>(-half), static_cast<float>(half), static_cast<float>(half),
                          static_cast<float>(-half));
}

}  // namespace panelflow
