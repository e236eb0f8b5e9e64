// SPDX-License-Identifier: GPL-3.0-or-later
#include "geometry/BodyOfRevolution.h"

#include <cmath>

namespace panelflow {
namespace {

constexpr double kSphereRadius = 0.5;  // the generated sphere has diameter 1

}  // namespace

void SphereProfile(int NI, BodyProfile& profile) {
    const int NI1 = NI + 1;
    profile.xI = Array1D<double>(NI1);
    profile.rI = Array1D<double>(NI1);
    const double dPhi = Pi / NI;
    // Equal steps in angle along the half circle, from the nose (phi = Pi) to the tail (phi = 0).
    for (int i = 1; i <= NI1; ++i) {
        const double phi = Pi - (i - 1) * dPhi;
        profile.xI(i) = (std::cos(phi) + 1.0) * kSphereRadius;
        profile.rI(i) = std::sin(phi) * kSphereRadius;
    }
}

void BuildBodyOfRevolution(BodyProfile& profile, PanelModel& model) {
    const int NI1 = model.NI1;
    const int NJ1 = model.NJ1;

    // Column 1 lies on the -z side; columns turn positively about +x, and column NJ1 repeats
    // column 1 so that the surface closes.
    profile.ThetaJ = Array1D<double>(NJ1);
    const double dTheta = 2.0 * Pi / model.NJ;
    for (int j = 1; j <= NJ1; ++j) profile.ThetaJ(j) = -Pi / 2.0 + (j - 1) * dTheta;

    model.xNode = Array2D<double>(NI1, NJ1);
    model.yNode = Array2D<double>(NI1, NJ1);
    model.zNode = Array2D<double>(NI1, NJ1);
    for (int i = 1; i <= NI1; ++i) {
        for (int j = 1; j <= NJ1; ++j) {
            model.xNode(i, j) = profile.xI(i);
            model.yNode(i, j) = profile.rI(i) * std::cos(profile.ThetaJ(j));
            model.zNode(i, j) = profile.rI(i) * std::sin(profile.ThetaJ(j));
        }
    }
    model.BodyOfRevolution = true;
}

}  // namespace panelflow
