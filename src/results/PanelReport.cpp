// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/PanelReport.h"

#include <initializer_list>

namespace panelflow {
namespace {

constexpr std::string_view kCornerTitle = " Coordinates of panel corner points";
constexpr std::string_view kControlPointTitle = " Coordinates of panel control points";
constexpr std::string_view kAxesTitle = " Cosine directors of panel axes";
constexpr std::string_view kPanelAxisCornerTitle = " Coordinates of panel corner points in panel axis";

constexpr std::string_view kCornerLabelX = " x    = ";
constexpr std::string_view kCornerLabelY = " y    = ";
constexpr std::string_view kCornerLabelZ = " z    = ";
constexpr std::string_view kXCLabel = "xC   ";
constexpr std::string_view kYCLabel = "yC   ";
constexpr std::string_view kZCLabel = "zC   ";
constexpr std::string_view kXsiXLabel = "XsiX ";
constexpr std::string_view kXsiYLabel = "XsiY ";
constexpr std::string_view kXsiZLabel = "XsiZ ";
constexpr std::string_view kItaXLabel = "ItaX ";
constexpr std::string_view kItaYLabel = "ItaY ";
constexpr std::string_view kItaZLabel = "ItaZ ";
constexpr std::string_view kZtaXLabel = "ZtaX ";
constexpr std::string_view kZtaYLabel = "ZtaY ";
constexpr std::string_view kZtaZLabel = "ZtaZ ";
constexpr std::string_view kXsiLabel = "Xsi  ";
constexpr std::string_view kItaLabel = "Ita  ";
constexpr std::string_view kValueGap = "  ";  // after every value of sections 2 to 4
constexpr std::string_view kCounterGap = " ";  // between the i and j counters of a panel

void WriteTitle(std::string_view title, ResultsAppender& out) {
    out.Text(title).EndLine();
    out.EndLine();
}

struct LabelledCorners {
    std::string_view label;
    const Array3D<double>* values;
};

// One block per panel, i outer and j inner: the index line (i, j), one line per array with the
// label and the values of corners 1..nCorner (each through `mask`, then `gap`), an empty line.
void WritePanelBlocks(const PanelModel& model, std::initializer_list<LabelledCorners> lines, std::string_view mask,
                      std::string_view gap, ResultsAppender& out) {
    for (int i = 1; i <= model.NI; ++i) {
        for (int j = 1; j <= model.NJ; ++j) {
            out.Counter(i).Text(kCounterGap).Counter(j).EndLine();
            for (const LabelledCorners& line : lines) {
                out.Text(line.label);
                for (int k = 1; k <= model.nCorner(i, j); ++k) out.Masked((*line.values)(i, j, k), mask).Text(gap);
                out.EndLine();
            }
            out.EndLine();
        }
    }
}

// A label, then the values of row i for j = 1..NJ.
void WriteRowLine(std::string_view label, const Array2D<double>& values, int i, int NJ, ResultsAppender& out) {
    out.Text(label);
    for (int j = 1; j <= NJ; ++j) out.Masked(values(i, j), kMaskFourDecimalsLeadingZero).Text(kValueGap);
    out.EndLine();
}

struct LabelledRow {
    std::string_view label;
    const Array2D<double>* values;
};

void WriteRowGroup(std::initializer_list<LabelledRow> group, int i, int NJ, ResultsAppender& out) {
    for (const LabelledRow& row : group) WriteRowLine(row.label, *row.values, i, NJ, out);
    out.EndLine();
}

void WriteCornerSection(const PanelModel& model, ResultsAppender& out) {
    WriteTitle(kCornerTitle, out);
    // The two-blank mask carries its own gap.
    WritePanelBlocks(model,
                     {{kCornerLabelX, &model.xCorner},
                      {kCornerLabelY, &model.yCorner},
                      {kCornerLabelZ, &model.zCorner}},
                     kMaskFourDecimalsTwoBlanks, "", out);
    out.EndLine();
}

void WriteControlPointSection(const PanelModel& model, ResultsAppender& out) {
    WriteTitle(kControlPointTitle, out);
    for (int i = 1; i <= model.NI; ++i)
        WriteRowGroup({{kXCLabel, &model.xC}, {kYCLabel, &model.yC}, {kZCLabel, &model.zC}}, i, model.NJ, out);
    out.EndLine();
}

void WriteAxesSection(const PanelModel& model, ResultsAppender& out) {
    WriteTitle(kAxesTitle, out);
    for (int i = 1; i <= model.NI; ++i) {
        WriteRowGroup({{kXsiXLabel, &model.XsiX}, {kXsiYLabel, &model.XsiY}, {kXsiZLabel, &model.XsiZ}}, i,
                      model.NJ, out);
        WriteRowGroup({{kItaXLabel, &model.ItaX}, {kItaYLabel, &model.ItaY}, {kItaZLabel, &model.ItaZ}}, i,
                      model.NJ, out);
        WriteRowGroup({{kZtaXLabel, &model.ZtaX}, {kZtaYLabel, &model.ZtaY}, {kZtaZLabel, &model.ZtaZ}}, i,
                      model.NJ, out);
    }
    out.EndLine();
}

void WritePanelAxisCornerSection(const PanelModel& model, ResultsAppender& out) {
    WriteTitle(kPanelAxisCornerTitle, out);
    WritePanelBlocks(model, {{kXsiLabel, &model.Xsi}, {kItaLabel, &model.Ita}}, kMaskFourDecimalsLeadingZero,
                     kValueGap, out);
}

}  // namespace

void WritePanelReport(const PanelModel& model, ResultsAppender& out) {
    WriteCornerSection(model, out);
    WriteControlPointSection(model, out);
    WriteAxesSection(model, out);
    WritePanelAxisCornerSection(model, out);
}

}  // namespace panelflow
