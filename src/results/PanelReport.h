// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The four geometry sections of the results file: panel corner points, control points, cosine
// directors of the panel axes, and corner coordinates in panel axes.

#include "results/ResultsFile.h"
#include "model/PanelModel.h"

namespace panelflow {

// Writes the four sections for the panels of `model` (after BuildPanels).
void WritePanelReport(const PanelModel& model, ResultsAppender& out);

}  // namespace panelflow
