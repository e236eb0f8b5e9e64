// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/BodyScale.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "base/NumberText.h"

namespace panelflow {
namespace {

constexpr int kOrdinaryExponent = 60;

// A model may come without its node grid (built panel by panel): then only the per-panel
// lengths count, which the control points represent.
double LargestCoordinate(const PanelModel& model) {
    if (model.xNode.empty()) {
        double largest = 0.0;
        for (std::ptrdiff_t i = 0; i <= model.xC.upper1(); ++i)
            for (std::ptrdiff_t j = 0; j <= model.xC.upper2(); ++j)
                largest = std::max({largest, std::fabs(model.xC(i, j)), std::fabs(model.yC(i, j)),
                                    std::fabs(model.zC(i, j))});
        return largest;
    }
    double largest = 0.0;
    for (int i = 1; i <= model.NI1; ++i)
        for (int j = 1; j <= model.NJ1; ++j)
            largest = std::max({largest, std::fabs(model.xNode(i, j)), std::fabs(model.yNode(i, j)),
                                std::fabs(model.zNode(i, j))});
    return largest;
}

void Scale(Array2D<double>& values, int exponent) {
    for (std::ptrdiff_t i = 0; i <= values.upper1(); ++i)
        for (std::ptrdiff_t j = 0; j <= values.upper2(); ++j) values(i, j) = std::ldexp(values(i, j), exponent);
}

void Scale(Array3D<double>& values, int exponent) {
    for (std::ptrdiff_t i = 0; i <= values.upper1(); ++i)
        for (std::ptrdiff_t j = 0; j <= values.upper2(); ++j)
            for (std::ptrdiff_t k = 0; k <= values.upper3(); ++k)
                values(i, j, k) = std::ldexp(values(i, j, k), exponent);
}

}  // namespace

double BodyExtent(const PanelModel& model) {
    if (model.NI1 < 1 || model.NJ1 < 1 || model.xNode.empty()) return 0.0;
    double extent = 0.0;
    for (const Array2D<double>* nodes : {&model.xNode, &model.yNode, &model.zNode}) {
        double low = (*nodes)(1, 1), high = low;
        for (int i = 1; i <= model.NI1; ++i) {
            for (int j = 1; j <= model.NJ1; ++j) {
                low = std::min(low, (*nodes)(i, j));
                high = std::max(high, (*nodes)(i, j));
            }
        }
        extent = std::max(extent, high - low);
    }
    return extent;
}

Status CheckBodySize(const PanelModel& model) {
    const double largest = LargestCoordinate(model);
    if (largest > kLargestBodySize)
        return Status::Fail("The body is too large: its coordinates reach " + ShortestText(largest) +
                            ", and bodies can be computed only within " + ShortestText(kLargestBodySize) + ".");
    const double extent = BodyExtent(model);
    // A body of no extent at all is no scale problem: its panels are degenerate, and the panel
    // geometry says which.
    if (extent > 0.0 && extent < kSmallestBodySize)
        return Status::Fail("The body is too small: it spans " + ShortestText(extent) +
                            ", and the smallest body that can be computed spans " + ShortestText(kSmallestBodySize) + ".");
    return Status::Ok();
}

int NormalisingExponent(const PanelModel& model) {
    const double largest = LargestCoordinate(model);
    if (largest == 0.0 || !std::isfinite(largest)) return 0;
    const int exponent = std::ilogb(largest);
    if (exponent >= -kOrdinaryExponent && exponent <= kOrdinaryExponent) return 0;
    return -exponent;
}

PanelModel ScaledModel(const PanelModel& model, int exponent) {
    PanelModel scaled = model;
    for (Array2D<double>* lengths : {&scaled.xNode, &scaled.yNode, &scaled.zNode, &scaled.xC, &scaled.yC, &scaled.zC})
        Scale(*lengths, exponent);
    for (Array3D<double>* lengths : {&scaled.xCorner, &scaled.yCorner, &scaled.zCorner, &scaled.Xsi, &scaled.Ita})
        Scale(*lengths, exponent);
    Scale(scaled.Area, 2 * exponent);
    return scaled;
}

}  // namespace panelflow
