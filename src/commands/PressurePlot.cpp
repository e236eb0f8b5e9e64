// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/PressurePlot.h"

#include <algorithm>
#include <cmath>

#include "base/NumberText.h"
#include "geometry/SphereFit.h"

namespace panelflow {
namespace {

double Shown(double oneMinusCp, PlottedQuantity quantity) {
    return quantity == PlottedQuantity::Cp ? 1.0 - oneMinusCp : oneMinusCp;
}

bool StreamAlongX(const FreeStream& vinf) { return vinf.VinfX != 0.0 && vinf.VinfY == 0.0 && vinf.VinfZ == 0.0; }

}  // namespace

int PlottedColumnStep(const PanelModel& model) {
    const long long points = model.PanelCount();
    return static_cast<int>(std::max(1LL, (points + kMostPlottedPoints - 1) / kMostPlottedPoints));
}

const char* ExactCurveName(PlottedQuantity quantity) {
    return quantity == PlottedQuantity::Cp ? "exact 1 − 9/4 sin²θ" : "exact 9/4 sin²θ";
}

std::vector<double> MeridianAngles(const PanelModel& model) {
    const int NI = model.NI, NJ = model.NJ;
    std::vector<double> sumY(NJ, 0.0), sumZ(NJ, 0.0);
    double meanY = 0.0, meanZ = 0.0;
    for (int i = 1; i <= NI; ++i)
        for (int j = 1; j <= NJ; ++j) {
            sumY[j - 1] += model.yC(i, j);
            sumZ[j - 1] += model.zC(i, j);
        }
    for (int j = 0; j < NJ; ++j) {
        meanY += sumY[j];
        meanZ += sumZ[j];
    }
    meanY /= static_cast<double>(NI) * NJ;
    meanZ /= static_cast<double>(NI) * NJ;
    std::vector<double> phi(NJ);
    for (int j = 0; j < NJ; ++j) phi[j] = std::atan2(sumZ[j] / NI - meanZ, sumY[j] / NI - meanY) * 180.0 / Pi;
    return phi;
}

std::string ColumnName(int j, double phi) {
    double tenths = std::round(phi * 10.0) / 10.0;
    if (tenths == 0.0) tenths = 0.0;  // no "-0"
    return "column " + std::to_string(j) + ", φ = " + ShortestText(tenths) + "°";
}

std::vector<PlotCurve> PressureCurves(const Session& session, int column, PlottedQuantity quantity) {
    std::vector<PlotCurve> curves;
    if (!session.shell.SolutionReady) return curves;
    const PanelModel& model = session.model;
    const std::vector<double> phi = MeridianAngles(model);
    const int first = column == 0 ? 1 : column, last = column == 0 ? model.NJ : column;
    const int step = column == 0 ? PlottedColumnStep(model) : 1;
    for (int j = first; j <= last && j <= model.NJ; j += step) {
        PlotCurve curve{ColumnName(j, phi[j - 1]), false, {}, {}};
        for (int i = 1; i <= model.NI; ++i) {
            curve.x.push_back(model.xC(i, j));
            curve.value.push_back(Shown(session.solution.OneMinusCp(i, j), quantity));
        }
        curves.push_back(std::move(curve));
    }
    const SphereFit sphere = FitSphere(model);
    if (sphere.isSphere && StreamAlongX(session.vinf)) {
        PlotCurve exact{ExactCurveName(quantity), true, {}, {}};
        for (int k = 0; k < kExactCurveSamples; ++k) {
            const double theta = Pi * k / (kExactCurveSamples - 1);
            const double s = std::sin(theta);
            exact.x.push_back(sphere.xCentre - sphere.radius * std::cos(theta));
            exact.value.push_back(Shown(2.25 * s * s, quantity));
        }
        curves.push_back(std::move(exact));
    }
    return curves;
}

}  // namespace panelflow
