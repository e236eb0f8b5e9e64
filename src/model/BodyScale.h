// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The size of a body, and the frame in which it is computed. The panel geometry and the flow are
// unchanged when every coordinate is scaled by a power of two (the scaling is exact), but their
// products of lengths (squares, areas, the fourth powers in the influence formulas) leave the
// range of a double for bodies far from unit size. Such bodies are computed scaled by a power of
// two that brings them to unit size; bodies of ordinary size are computed as they stand, so their
// results do not change by a single bit.

#include "base/Status.h"
#include "model/PanelModel.h"

namespace panelflow {

// Sizes outside [kSmallestBodySize, kLargestBodySize] are refused.
inline constexpr double kSmallestBodySize = 1e-150;
inline constexpr double kLargestBodySize = 1e150;

// The largest extent of the node grid along x, y or z.
double BodyExtent(const PanelModel& model);

// Refuses a body whose extent is below kSmallestBodySize or whose coordinates reach beyond
// kLargestBodySize, saying which and naming the size.
Status CheckBodySize(const PanelModel& model);

// The power of two e such that the largest node coordinate times 2^e lies in [1, 2); 0 for a
// body whose coordinates lie within 2^-60 .. 2^60, which is computed as it stands.
int NormalisingExponent(const PanelModel& model);

// A copy of `model` with every length (nodes, corners, control points, corners in panel axes)
// multiplied by 2^exponent and every area by 2^(2 exponent); the counts and the panel axes are
// kept.
PanelModel ScaledModel(const PanelModel& model, int exponent);

}  // namespace panelflow
