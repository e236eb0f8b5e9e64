#include "commands/PressurePlot.h"

#include <algorithm>
#include <cmath>

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

std::vector<PlotCurve> PressureCurves(const Session& session, int column, PlottedQuantity quantity) {
    std::vector<PlotCurve> curves;
    if (!session.shell.SolutionReady) return curves;
    const PanelModel& model = session.model;
    const int first = column == 0 ? 1 : column, last = column == 0 ? model.NJ : column;
    const int step = column == 0 ? PlottedColumnStep(model) : 1;
    for (int j = first; j <= last && j <= model.NJ; j += step) {
        PlotCurve curve{"column " + std::to_string(j), false, {}, {}};
        for (int i = 1; i <= model.NI; ++i) {
            curve.x.push_back(model.xC(i, j));
            curve.value.push_back(Shown(session.solution.OneMinusCp(i, j), quantity));
        }
        curves.push_back(std::move(curve));
    }
    const SphereFit sphere = FitSphere(model);
    if (sphere.isSphere && StreamAlongX(session.vinf)) {
        PlotCurve exact{kExactCurveName, true, {}, {}};
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
