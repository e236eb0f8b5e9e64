// SPDX-License-Identifier: GPL-3.0-or-later
#include "geometry/SphereFit.h"

#include <algorithm>
#include <cmath>

namespace panelflow {

SphereFit FitSphere(const PanelModel& model) {
    if (model.NI1 < 2 || model.NJ1 < 2) return {};
    double xMin = model.xNode(1, 1), xMax = xMin;
    for (int i = 1; i <= model.NI1; ++i)
        for (int j = 1; j <= model.NJ1; ++j) {
            xMin = std::min(xMin, model.xNode(i, j));
            xMax = std::max(xMax, model.xNode(i, j));
        }
    const double xCentre = 0.5 * (xMin + xMax), radius = 0.5 * (xMax - xMin);
    if (!(radius > 0.0)) return {};
    for (int i = 1; i <= model.NI1; ++i)
        for (int j = 1; j <= model.NJ1; ++j) {
            const double distance = std::hypot(model.xNode(i, j) - xCentre, model.yNode(i, j), model.zNode(i, j));
            if (std::abs(distance - radius) > 1e-9 * radius) return {};
        }
    return {true, xCentre, radius};
}

}  // namespace panelflow
