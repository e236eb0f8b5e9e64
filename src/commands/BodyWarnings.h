// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The warning a geometry command shows after it has built a body that cannot be right (see
// geometry/BodyChecks.h): what is wrong, in the terms of the input the body came from, and where
// the results file lists its points.

#include <string>
#include <vector>

#include "geometry/BodyChecks.h"
#include "model/BodyProfile.h"
#include "model/PanelModel.h"

namespace panelflow {

// The text for `findings` of `model`, built from `profile` when one was revolved (nullptr for a
// corner-point file); "" when there is nothing to say. An empty `resultsFile` names no file.
std::string BodyWarningText(const std::vector<BodyFinding>& findings, const PanelModel& model,
                            const BodyProfile* profile, const std::string& resultsFile);

}  // namespace panelflow
