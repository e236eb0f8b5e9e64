// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Checks of a built body that cannot be right although every panel could be computed: a body
// whose panel normals point into it, and a body that is not closed at its ends. Such bodies are
// allowed (the command completes), but their flow is no answer; the user is to be told.

#include <vector>

#include "model/PanelModel.h"

namespace panelflow {

struct BodyFinding {
    enum class Kind {
        InwardNormals,  // the enclosed volume, taken with the normals, is negative
        OpenFirstRow,   // node row 1 is not one point
        OpenLastRow,    // node row NI1 is not one point
    };
    Kind kind;
    double value;  // the signed volume, or the largest distance between two nodes of the row
};

// Inputs: a model after a successful BuildPanels (corners and nCorner filled).
// Output: the findings, in the order of Kind; empty for a closed body with outward normals.
// The volume is the divergence theorem's sum over the panels' triangles, corners 1, 3, 2 (and
// 1, 4, 3 for a quadrilateral), relative to the mean node; a volume counts as negative beyond
// rounding of the sum's terms, and a row is one point to within 1e-9 of the body's extent.
std::vector<BodyFinding> CheckBody(const PanelModel& model);

}  // namespace panelflow
