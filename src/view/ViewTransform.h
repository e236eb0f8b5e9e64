// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a point of the body becomes a point of the picture: the rotation matrix built from the
// three angles of the window (degrees), a parallel projection that keeps x' (to the right) and
// z' (upwards) and drops y', a shift that centres the panel corners, and the picture's
// coordinate window -6/s..6/s set from the scale s.
//
// The rotated corner arrays have the shape of the model's corner arrays, [0..NI1] x [0..NJ1] x
// [0..4]; entries (i, j, k) with i = 1..NI, j = 1..NJ, k = 1..nCorner(i, j) are filled, the rest
// stay zero.

#include "base/Array.h"
#include "model/PanelModel.h"
#include "view/Canvas.h"

namespace panelflow {

// R = Rz(az) . Ry(ay) . Rx(ax): turns a point first about x, then about the fixed y, then about
// the fixed z axis, each turn right-handed.
struct ViewMatrix {
    double R11 = 1, R12 = 0, R13 = 0;
    double R21 = 0, R22 = 1, R23 = 0;
    double R31 = 0, R32 = 0, R33 = 1;
};

struct Point3 {
    double x = 0, y = 0, z = 0;
};

// Builds R from angles in degrees. Each angle is turned into radians as (alpha * Pi) / 180;
// an angle whose radian value is not finite counts as 0, so a typed overflow cannot spoil
// the picture.
ViewMatrix BuildViewMatrix(double alphaX, double alphaY, double alphaZ);

// R . (x, y, z), each row summed from left to right.
Point3 RotatePoint(const ViewMatrix& R, double x, double y, double z);

// The scale s itself, or 1 when s is not a positive number whose coordinate window -6/s..6/s is
// finite and not empty in single precision.
double UsableScale(double s);

struct RotatedCorners {
    Array3D<double> xCornerRot, yCornerRot, zCornerRot;
};

// Allocates the rotated arrays afresh and fills them with every panel corner turned by R.
RotatedCorners RotateCorners(const PanelModel& model, const ViewMatrix& R);

// The middle of the box that the rotated corners (x', z') and the origin span.
struct ViewCentre {
    double xc = 0, zc = 0;
};

// Finds the centre over the panel corners and shifts xCornerRot and zCornerRot by it.
ViewCentre CentreCorners(const PanelModel& model, RotatedCorners& rotated);

// The same centre, turning each corner by R on the way instead of keeping the turned corners.
ViewCentre CornerCentre(const PanelModel& model, const ViewMatrix& R);

// Clears the picture and sets its coordinates: left -6/s, top 6/s, right 6/s, bottom -6/s.
void SetUpPicture(Canvas& canvas, double s);

}  // namespace panelflow
