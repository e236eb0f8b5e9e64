// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The bodies of the geometry commands, built aside and checked without writing anything: the
// sphere, a profile file revolved about x, a corner-point file, and (for callers that hold their
// points in memory, the Python module) a profile or a node grid given as arrays. The commands
// then append the body's sections and make it the session's; the Python module keeps it.
//
// Every builder refuses with the commands' messages (bad counts, a bad file, a degenerate panel,
// memory that cannot be had) and leaves `body` as it was; on success `body` holds the whole model
// (BuildPanels done). A body that is built but cannot be right is no refusal: BodyWarning says why.
// The builders report their stages (reading the file, body of revolution, panel geometry).

#include <string>

#include "base/Progress.h"
#include "base/Status.h"
#include "model/BodyProfile.h"
#include "model/PanelModel.h"

namespace panelflow {

struct BuiltBody {
    PanelModel model;
    BodyProfile profile;   // the profile that was revolved, when `revolved`
    bool revolved = false;
    std::string source;    // the file the points came from; "" for the sphere and for arrays
};

// "Calculate sphere coordinates": NI from niText, NJ from njText (the count boxes' texts).
Status BuildSphereBody(const std::string& niText, const std::string& njText, BuiltBody& body,
                       Progress* progress = nullptr);

// A body profile file revolved into NJ columns (njText); NI comes from the file's points.
Status BuildProfileFileBody(const std::string& path, const std::string& njText, BuiltBody& body,
                            Progress* progress = nullptr);

// A corner-point file: the counts and the node grid come from the file.
Status BuildCornerFileBody(const std::string& path, BuiltBody& body, Progress* progress = nullptr);

// A profile whose points are given, profile.xI and rI [0..NP] (NP >= 2), revolved into NJ columns.
Status BuildRevolvedBody(BodyProfile profile, const std::string& njText, BuiltBody& body,
                         Progress* progress = nullptr);

// A node grid whose points are given: grid.NI, NJ, NI1, NJ1 (NI, NJ >= 1) and xNode, yNode, zNode
// [0..NI1] x [0..NJ1] filled, as a corner-point file would fill them.
Status BuildGridBody(PanelModel grid, BuiltBody& body, Progress* progress = nullptr);

// The warning for a body that cannot be right (geometry/BodyChecks.h), naming where the results
// file `resultsFile` lists its points ("": no results file is named); "" for a sound body.
std::string BodyWarning(const BuiltBody& body, const std::string& resultsFile);

// Appends the body's sections to the results file: the profile and the body coordinates of a
// revolved body, then the four panel sections. Memory that cannot be had throws std::bad_alloc,
// a stop throws Cancelled; the caller cuts the file back.
Status AppendBodySections(const BuiltBody& body, const std::string& outFile, Progress* progress = nullptr);

}  // namespace panelflow
