// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/BodyReport.h"

#include <string_view>

namespace panelflow {
namespace {

constexpr std::string_view kProfileTitle = " Profile of the body of revolution";
constexpr std::string_view kProfileHeading = "  i     xI     rI";
constexpr std::string_view kProfileCounterGap = "   ";
constexpr std::string_view kBodyTitle = " Coordinates of the body of revolution";
constexpr std::string_view kBodyCounterGap = "  ";

}  // namespace

void WriteProfileSection(const BodyProfile& profile, int NI1, ResultsAppender& out) {
    out.Text(kProfileTitle).EndLine();
    out.Text(kProfileHeading).EndLine();
    out.EndLine();
    for (int i = 1; i <= NI1; ++i) {
        out.Counter(i).Text(kProfileCounterGap);
        out.Masked(profile.xI(i), kMaskFourDecimalsTwoBlanks).Masked(profile.rI(i), kMaskFourDecimalsTwoBlanks);
        out.EndLine();
    }
}

void WriteBodyCoordinatesSection(const PanelModel& model, ResultsAppender& out) {
    out.EndLine();
    out.Text(kBodyTitle).EndLine();
    out.EndLine();
    for (int i = 1; i <= model.NI1; ++i) {
        for (int j = 1; j <= model.NJ1; ++j) {
            out.Counter(i).Text(kBodyCounterGap).Counter(j).Text(kBodyCounterGap);
            out.Masked(model.xNode(i, j), kMaskFourDecimalsTwoBlanks)
                .Masked(model.yNode(i, j), kMaskFourDecimalsTwoBlanks)
                .Masked(model.zNode(i, j), kMaskFourDecimalsTwoBlanks);
            out.EndLine();
        }
    }
}

}  // namespace panelflow
