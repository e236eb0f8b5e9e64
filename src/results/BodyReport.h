// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two sections of a body of revolution: its profile and the coordinates of its nodes.

#include "model/BodyProfile.h"
#include "model/PanelModel.h"
#include "results/ResultsFile.h"

namespace panelflow {

// " Profile of the body of revolution" with NI1 lines: counter i, three blanks, xI, rI.
void WriteProfileSection(const BodyProfile& profile, int NI1, ResultsAppender& out);

// " Coordinates of the body of revolution" with NI1 * NJ1 lines: i, two blanks, j, two blanks,
// x, y, z of the node.
void WriteBodyCoordinatesSection(const PanelModel& model, ResultsAppender& out);

}  // namespace panelflow
