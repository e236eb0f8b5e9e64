// SPDX-License-Identifier: GPL-3.0-or-later
#include "geometry/PanelGeometry.h"

#include "model/BodyScale.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace panelflow {
namespace {

// Two corners whose distance is at the rounding level of the panel's size are one point, and
// three corners whose triangle has a height at that level lie on one line. The generated
// sphere's poles, for instance, are at radius sin(Pi) * 0.5 (about 3e-17), not exactly zero:
// an exact test would accept the triangles of a one-row sphere and give them a normal made of
// rounding noise. No real panel comes near this ratio of sides.
constexpr double kRoundingTolerance = 64.0 * std::numeric_limits<double>::epsilon();

struct Vector {
    double x, y, z;
};

Vector Minus(const Vector& a, const Vector& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double Length(const Vector& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

// Corner k multiplied by 2^exponent (exactly: see model/BodyScale.h).
Vector Corner(const PanelModel& model, int i, int j, int k, int exponent) {
    return {std::ldexp(model.xCorner(i, j, k), exponent), std::ldexp(model.yCorner(i, j, k), exponent),
            std::ldexp(model.zCorner(i, j, k), exponent)};
}

std::string PanelName(int i, int j) {
    return "Panel (" + std::to_string(i) + ", " + std::to_string(j) + ")";
}

void AllocatePanelArrays(PanelModel& model) {
    const int NI = model.NI, NJ = model.NJ;
    model.nCorner = Array2D<int>(NI, NJ);
    for (auto* corner : {&model.xCorner, &model.yCorner, &model.zCorner})
        *corner = Array3D<double>(model.NI1, model.NJ1, 4);
    for (auto* perPanel : {&model.xC, &model.yC, &model.zC, &model.XsiX, &model.XsiY, &model.XsiZ, &model.ItaX,
                           &model.ItaY, &model.ItaZ, &model.ZtaX, &model.ZtaY, &model.ZtaZ, &model.Area})
        *perPanel = Array2D<double>(NI, NJ);
    model.Xsi = Array3D<double>(NI, NJ, 4);
    model.Ita = Array3D<double>(NI, NJ, 4);
}

// The pole rows are triangles; which panels they are follows from the row number alone.
void CountCorners(PanelModel& model) {
    for (int i = 1; i <= model.NI; ++i)
        for (int j = 1; j <= model.NJ; ++j) model.nCorner(i, j) = (i == 1 || i == model.NI) ? 3 : 4;
}

void CopyNode(PanelModel& model, int i, int j, int k, int nodeI, int nodeJ) {
    model.xCorner(i, j, k) = model.xNode(nodeI, nodeJ);
    model.yCorner(i, j, k) = model.yNode(nodeI, nodeJ);
    model.zCorner(i, j, k) = model.zNode(nodeI, nodeJ);
}

// Corners 1..4 are nodes (i, j), (i+1, j), (i+1, j+1), (i, j+1). In the last row corner 3 is
// then moved onto corner 4, node (NI, j+1), so that corners 1, 2, 3 span the triangle
// node (NI, j), pole, node (NI, j+1).
void AssignCorners(PanelModel& model) {
    for (int j = 1; j <= model.NJ; ++j) {
        for (int i = 1; i <= model.NI; ++i) {
            CopyNode(model, i, j, 1, i, j);
            CopyNode(model, i, j, 2, i + 1, j);
            CopyNode(model, i, j, 3, i + 1, j + 1);
            CopyNode(model, i, j, 4, i, j + 1);
        }
        CopyNode(model, model.NI, j, 3, model.NI, j + 1);
    }
}

// The plain mean of the defining corners (not the area centroid).
void ComputeControlPoints(PanelModel& model) {
    for (int i = 1; i <= model.NI; ++i) {
        for (int j = 1; j <= model.NJ; ++j) {
            const int n = model.nCorner(i, j);
            double x = 0.0, y = 0.0, z = 0.0;
            for (int k = 1; k <= n; ++k) {
                x += model.xCorner(i, j, k);
                y += model.yCorner(i, j, k);
                z += model.zCorner(i, j, k);
            }
            model.xC(i, j) = x / n;
            model.yC(i, j) = y / n;
            model.zC(i, j) = z / n;
        }
    }
}

// Refuses a panel whose corners 1, 2, 3 do not span a plane; otherwise an empty Status.
Status CheckSpan(int i, int j, double lengthA, double lengthN, double longestEdge) {
    if (!std::isfinite(lengthA) || !std::isfinite(lengthN) || !std::isfinite(longestEdge))
        return Status::Fail(PanelName(i, j) + " cannot be computed: its corner coordinates are not finite numbers "
                                              "or are too large.");
    if (lengthA <= kRoundingTolerance * longestEdge)
        return Status::Fail(PanelName(i, j) + " is degenerate: its corners 1 and 2 coincide.");
    if (lengthN <= kRoundingTolerance * longestEdge * longestEdge)
        return Status::Fail(PanelName(i, j) + " is degenerate: its corners 1, 2 and 3 lie on one line.");
    return Status::Ok();
}

// Xsi along the edge from corner 1 to corner 2; Zta the unit normal of (P3 - P1) x (P2 - P1);
// Ita = Zta x Xsi, a unit vector already since Zta and Xsi are orthogonal unit vectors.
// Only corners 1, 2, 3 enter: a warped quadrilateral takes the plane of its first triangle.
// The corners are taken in the body's normalised frame, so that |N|, an area, neither
// underflows for a tiny body nor overflows for a huge one; the unit vectors do not depend on it.
Status ComputePanelAxes(PanelModel& model) {
    const int exponent = NormalisingExponent(model);
    for (int i = 1; i <= model.NI; ++i) {
        for (int j = 1; j <= model.NJ; ++j) {
            const Vector P1 = Corner(model, i, j, 1, exponent), P2 = Corner(model, i, j, 2, exponent),
                         P3 = Corner(model, i, j, 3, exponent);
            const Vector A = Minus(P2, P1);
            const Vector B = Minus(P3, P1);
            const Vector N{B.y * A.z - B.z * A.y, B.z * A.x - B.x * A.z, B.x * A.y - B.y * A.x};
            const double lengthN = Length(N);
            const double lengthA = Length(A);

            const double longestEdge = std::max({lengthA, Length(B), Length(Minus(P3, P2))});
            if (Status span = CheckSpan(i, j, lengthA, lengthN, longestEdge); !span) return span;

            const double ZtaX = N.x / lengthN, ZtaY = N.y / lengthN, ZtaZ = N.z / lengthN;
            const double XsiX = A.x / lengthA, XsiY = A.y / lengthA, XsiZ = A.z / lengthA;
            model.ZtaX(i, j) = ZtaX;
            model.ZtaY(i, j) = ZtaY;
            model.ZtaZ(i, j) = ZtaZ;
            model.XsiX(i, j) = XsiX;
            model.XsiY(i, j) = XsiY;
            model.XsiZ(i, j) = XsiZ;
            model.ItaX(i, j) = ZtaY * XsiZ - ZtaZ * XsiY;
            model.ItaY(i, j) = ZtaZ * XsiX - ZtaX * XsiZ;
            model.ItaZ(i, j) = ZtaX * XsiY - ZtaY * XsiX;
        }
    }
    return Status::Ok();
}

// Corner k relative to the control point, projected on Xsi and Ita; the Zta component is not
// needed by the influence formulas.
void ComputeCornersInPanelAxes(PanelModel& model) {
    for (int i = 1; i <= model.NI; ++i) {
        for (int j = 1; j <= model.NJ; ++j) {
            for (int k = 1; k <= model.nCorner(i, j); ++k) {
                const double dx = model.xCorner(i, j, k) - model.xC(i, j);
                const double dy = model.yCorner(i, j, k) - model.yC(i, j);
                const double dz = model.zCorner(i, j, k) - model.zC(i, j);
                model.Xsi(i, j, k) = dx * model.XsiX(i, j) + dy * model.XsiY(i, j) + dz * model.XsiZ(i, j);
                model.Ita(i, j, k) = dx * model.ItaX(i, j) + dy * model.ItaY(i, j) + dz * model.ItaZ(i, j);
            }
        }
    }
}

// The area of the polygon of the corners in panel axes (the shoelace sum). The corners turn
// negatively about Zta, so the sum is negative; its size is the area.
void ComputeAreas(PanelModel& model) {
    for (int i = 1; i <= model.NI; ++i) {
        for (int j = 1; j <= model.NJ; ++j) {
            const int n = model.nCorner(i, j);
            double twiceArea = 0.0;
            for (int k = 1; k <= n; ++k) {
                const int next = k == n ? 1 : k + 1;
                twiceArea += model.Xsi(i, j, k) * model.Ita(i, j, next) - model.Xsi(i, j, next) * model.Ita(i, j, k);
            }
            model.Area(i, j) = 0.5 * std::abs(twiceArea);
        }
    }
}

}  // namespace

Status BuildPanels(PanelModel& model) {
    if (Status size = CheckBodySize(model); !size) return size;
    AllocatePanelArrays(model);
    CountCorners(model);
    AssignCorners(model);
    ComputeControlPoints(model);
    if (Status axes = ComputePanelAxes(model); !axes) return axes;
    ComputeCornersInPanelAxes(model);
    ComputeAreas(model);
    return Status::Ok();
}

}  // namespace panelflow
