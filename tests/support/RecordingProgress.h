// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A Progress that records every report: the stages in the order they began, the count of reports
// per stage, every fraction per stage, and any fraction outside [0, 1] or falling within a stage.

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "base/Progress.h"

namespace panelflow::testing {

class RecordingProgress : public Progress {
public:
    void Report(std::string_view stage, double fraction) override {
        if (stages.empty() || stages.back() != stage) stages.emplace_back(stage);
        std::vector<double>& seen = fractions[std::string(stage)];
        if (!(fraction >= 0.0 && fraction <= 1.0) || (!seen.empty() && fraction < seen.back()))
            badFractions.push_back(fraction);
        seen.push_back(fraction);
    }
    std::vector<std::string> stages;
    std::map<std::string, std::vector<double>> fractions;
    std::vector<double> badFractions;
};

}  // namespace panelflow::testing
