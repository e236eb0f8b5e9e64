// SPDX-License-Identifier: GPL-3.0-or-later
#include "geometry/BodyChecks.h"

#include <algorithm>
#include <cmath>

#include "model/BodyScale.h"

namespace panelflow {
namespace {

constexpr double kRowTolerance = 1e-9;
constexpr double kVolumeTolerance = 1e-9;

struct Point {
    double x, y, z;
};

Point Minus(const Point& a, const Point& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

// Six times the signed volume of the tetrahedron (origin, a, b, c).
double TripleProduct(const Point& a, const Point& b, const Point& c) {
    return a.x * (b.y * c.z - b.z * c.y) + a.y * (b.z * c.x - b.x * c.z) + a.z * (b.x * c.y - b.y * c.x);
}

Point Node(const PanelModel& model, int i, int j) { return {model.xNode(i, j), model.yNode(i, j), model.zNode(i, j)}; }

// The largest distance of a node of row i from the row's first node.
double RowSpread(const PanelModel& model, int i) {
    const Point first = Node(model, i, 1);
    double spread = 0.0;
    for (int j = 2; j <= model.NJ1; ++j) {
        const Point d = Minus(Node(model, i, j), first);
        spread = std::max(spread, std::hypot(d.x, d.y, d.z));
    }
    return spread;
}

}  // namespace

std::vector<BodyFinding> CheckBody(const PanelModel& model) {
    std::vector<BodyFinding> findings;
    if (model.NI < 1 || model.NJ < 1) return findings;

    Point centre{0.0, 0.0, 0.0};
    for (int i = 1; i <= model.NI1; ++i) {
        for (int j = 1; j <= model.NJ1; ++j) {
            centre.x += model.xNode(i, j);
            centre.y += model.yNode(i, j);
            centre.z += model.zNode(i, j);
        }
    }
    const double nodes = static_cast<double>(model.NI1) * model.NJ1;
    centre = {centre.x / nodes, centre.y / nodes, centre.z / nodes};

    // Volumes are summed in the body's normalised frame (model/BodyScale.h), where their cubes of
    // lengths stay within a double's range.
    const int exponent = NormalisingExponent(model);
    double volume = 0.0, magnitude = 0.0;
    for (int i = 1; i <= model.NI; ++i) {
        for (int j = 1; j <= model.NJ; ++j) {
            Point corner[5];
            for (int k = 1; k <= model.nCorner(i, j); ++k) {
                const Point d = Minus({model.xCorner(i, j, k), model.yCorner(i, j, k), model.zCorner(i, j, k)}, centre);
                corner[k] = {std::ldexp(d.x, exponent), std::ldexp(d.y, exponent), std::ldexp(d.z, exponent)};
            }
            // The outward normal is (P3 - P1) x (P2 - P1): the triangles run 1, 3, 2 and 1, 4, 3.
            double part = TripleProduct(corner[1], corner[3], corner[2]);
            if (model.nCorner(i, j) == 4) part += TripleProduct(corner[1], corner[4], corner[3]);
            volume += part;
            magnitude += std::fabs(part);
        }
    }
    if (volume < -kVolumeTolerance * magnitude)
        findings.push_back({BodyFinding::Kind::InwardNormals, std::ldexp(volume / 6.0, -3 * exponent)});

    const double extent = BodyExtent(model);
    const double first = RowSpread(model, 1), last = RowSpread(model, model.NI1);
    if (first > kRowTolerance * extent) findings.push_back({BodyFinding::Kind::OpenFirstRow, first});
    if (last > kRowTolerance * extent) findings.push_back({BodyFinding::Kind::OpenLastRow, last});
    return findings;
}

}  // namespace panelflow
