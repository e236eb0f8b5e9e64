// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/BodyWarnings.h"

#include "base/NumberText.h"
#include "base/PrintableText.h"

namespace panelflow {
namespace {

std::string ProfilePoint(const BodyProfile& profile, int n) {
    return "(x = " + ShortestText(profile.xI(n)) + ", r = " + ShortestText(profile.rI(n)) + ")";
}

std::string OpenEnd(const BodyFinding& finding, const PanelModel& model, const BodyProfile* profile) {
    const bool first = finding.kind == BodyFinding::Kind::OpenFirstRow;
    const int n = first ? 1 : model.NI1;
    if (profile)
        return std::string("The profile's ") + (first ? "first" : "last") + " point " + ProfilePoint(*profile, n) +
               " is not on the axis (r = 0): the body is open at its " + (first ? "nose" : "tail") + ".";
    return "The " + std::string(first ? "first" : "last") + " row of corner points (i = " + std::to_string(n) +
           ") is not one point (its nodes lie up to " + ShortestText(finding.value) +
           " apart): the body is open at that end.";
}

}  // namespace

std::string BodyWarningText(const std::vector<BodyFinding>& findings, const PanelModel& model,
                            const BodyProfile* profile, const std::string& resultsFile) {
    if (findings.empty()) return {};
    std::string text;
    for (const BodyFinding& finding : findings) {
        if (!text.empty()) text += ' ';
        if (finding.kind == BodyFinding::Kind::InwardNormals)
            text += "The panels' normals point into the body (its enclosed volume comes out as " +
                    ShortestText(finding.value) + "): " +
                    (profile ? "the profile's points seem to run from the tail to the nose; they must run from "
                               "the nose to the tail (increasing x)."
                             : "the corner points seem to run the wrong way round; rows must advance towards "
                               "larger x and columns turn positively about +x.");
        else
            text += OpenEnd(finding, model, profile);
    }
    text += " The body was built, but the flow computed for it will be wrong.";
    if (!resultsFile.empty())
        text += " Its points are listed in the results file " + PrintableText(resultsFile) + " under \"" +
                (profile ? "Profile of the body of revolution" : "Coordinates of panel corner points") + "\".";
    return text;
}

}  // namespace panelflow
