// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The panel model shared by every subsystem: the panel counts, the node grid that geometry input
// builds, and the per-panel arrays that BuildPanels derives from it.
//
// Conventions, once for every user of the model:
// - Indices are 1-based, as printed in the results file: i numbers rows along the body (nodes
//   1..NI1, panels 1..NI), j columns around it (nodes 1..NJ1, panels 1..NJ), k the corners of a
//   panel (1..4). Every array is allocated from index 0, which is never used.
// - Panel (i, j) is bounded by node rows i, i+1 and node columns j, j+1. Corner 1 = node (i, j),
//   2 = node (i+1, j), 3 = node (i+1, j+1), 4 = node (i, j+1); in the last row corner 3 is node
//   (NI, j+1), the same point as corner 4. Rows 1 and NI are triangles (nCorner = 3).
// - (Xsi, Ita, Zta) is each panel's right-handed orthonormal triad; Zta is the outward normal
//   when rows advance towards larger x and columns turn positively about +x.
// - A model is rebuilt whole by every geometry command; nothing of a previous one survives.

#include <cmath>

#include "base/Array.h"

namespace panelflow {

inline const double Pi = 4.0 * std::atan(1.0);
inline const double TwoPi = 2.0 * Pi;
inline const double FourPi = 4.0 * Pi;

struct PanelModel {
    // Counts: NI, NJ panels; NI1 = NI + 1, NJ1 = NJ + 1 nodes. Zero before any geometry.
    int NI = 0, NJ = 0, NI1 = 0, NJ1 = 0;

    // The node grid was made by the program by turning a profile about the x axis in NJ equal
    // steps (BuildBodyOfRevolution: the sphere, a profile file), so that every column of panels is
    // the first one turned about x. A grid read from corner points never counts, whatever its
    // shape: nothing guarantees its columns are equal turns.
    bool BodyOfRevolution = false;

    // Node grid, [0..NI1] x [0..NJ1].
    Array2D<double> xNode, yNode, zNode;

    // Per-panel arrays, [0..NI] x [0..NJ] unless noted.
    Array2D<int> nCorner;                           // 3 or 4
    Array3D<double> xCorner, yCorner, zCorner;      // [0..NI1] x [0..NJ1] x [0..4]
    Array2D<double> xC, yC, zC;                     // control point: mean of corners 1..nCorner
    Array2D<double> XsiX, XsiY, XsiZ;               // unit vector from corner 1 to corner 2
    Array2D<double> ItaX, ItaY, ItaZ;               // Zta x Xsi
    Array2D<double> ZtaX, ZtaY, ZtaZ;               // unit normal
    Array3D<double> Xsi, Ita;                       // [0..NI] x [0..NJ] x [0..4]: corners in panel axes
    Array2D<double> Area;                           // area of the corner polygon in the panel's plane

    long long PanelCount() const { return static_cast<long long>(NI) * NJ; }
};

}  // namespace panelflow
