// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/BuiltBody.h"

#include <new>
#include <utility>

#include "base/PrintableText.h"
#include "commands/BodyWarnings.h"
#include "geometry/BodyChecks.h"
#include "geometry/BodyOfRevolution.h"
#include "geometry/PanelGeometry.h"
#include "input/BodyProfileFile.h"
#include "input/CornerPointFile.h"
#include "model/PanelCounts.h"
#include "results/BodyReport.h"
#include "results/PanelReport.h"
#include "results/ResultsFile.h"

namespace panelflow {
namespace {

// Computes the panels of `built` (counts and node grid filled) and, when they are sound, makes it
// the body. A degenerate panel's message begins with the file the points came from, so that the
// user knows which file to mend.
Status Finish(BuiltBody&& built, BuiltBody& body, Progress* progress) {
    try {
        if (progress) progress->Report(kStagePanels, 0.0);
        const Status panels = BuildPanels(built.model);
        if (!panels)
            return built.source.empty() ? panels : panels.Retold(PrintableText(built.source) + ": " + panels.message);
    } catch (const std::bad_alloc&) {
        return OutOfMemory("The geometry", PanelModelBytes(built.model.NI, built.model.NJ));
    }
    body = std::move(built);
    return Status::Ok();
}

// Revolves built.profile (NI1 points) into built.model.NJ columns and finishes the body.
Status Revolve(BuiltBody&& built, BuiltBody& body, const std::string& what, Progress* progress) {
    PanelModel& model = built.model;
    model.NI1 = static_cast<int>(built.profile.xI.upper());
    model.NI = model.NI1 - 1;
    model.NJ1 = model.NJ + 1;
    try {
        if (progress) progress->Report(kStageBody, 0.0);
        BuildBodyOfRevolution(built.profile, model);
    } catch (const std::bad_alloc&) {
        return OutOfMemory(what, PanelModelBytes(model.NI, model.NJ));
    }
    built.revolved = true;
    return Finish(std::move(built), body, progress);
}

// An NJ whose geometry does not fit even with one row of panels is the NJ text's fault, whatever
// the profile holds.
Status ReadColumnCount(const std::string& njText, int& NJ) {
    Status status = ReadPanelCount(njText, "NJ", NJ);
    if (status)
        if (const Status fits = CheckGeometryFits(1, NJ); !fits)
            status = fits.Retold("NJ = " + PrintableText(njText) + " is too large: " + fits.message);
    return status;
}

}  // namespace

Status BuildSphereBody(const std::string& niText, const std::string& njText, BuiltBody& body, Progress* progress) {
    BuiltBody built;
    PanelModel& model = built.model;
    Status counts = ReadPanelCount(niText, "NI", model.NI);
    if (counts) counts = ReadPanelCount(njText, "NJ", model.NJ);
    if (counts) counts = CheckGeometryFits(model.NI, model.NJ);
    if (!counts) return counts;
    try {
        if (progress) progress->Report(kStageBody, 0.0);
        SphereProfile(model.NI, built.profile);
    } catch (const std::bad_alloc&) {
        return OutOfMemory("The geometry", PanelModelBytes(model.NI, model.NJ));
    }
    return Revolve(std::move(built), body, "The geometry", progress);
}

Status BuildProfileFileBody(const std::string& path, const std::string& njText, BuiltBody& body,
                            Progress* progress) {
    BuiltBody built;
    built.source = path;
    if (const Status columns = ReadColumnCount(njText, built.model.NJ); !columns) return columns;
    // The reader refuses a point count whose geometry would not fit before it allocates.
    const std::string what = "The geometry of " + PrintableText(path);
    try {
        if (progress) progress->Report(kStageReading, 0.0);
        if (const Status read = ReadBodyProfile(path, built.model.NJ, built.profile); !read) return read;
    } catch (const std::bad_alloc&) {
        return OutOfMemory(what, PanelModelBytes(0, built.model.NJ));
    }
    return Revolve(std::move(built), body, what, progress);
}

Status BuildCornerFileBody(const std::string& path, BuiltBody& body, Progress* progress) {
    BuiltBody built;
    built.source = path;
    Status status;
    try {
        if (progress) progress->Report(kStageReading, 0.0);
        status = ReadCornerPoints(path, built.model);
    } catch (const std::bad_alloc&) {
        status = OutOfMemory("The geometry of " + PrintableText(path), PanelModelBytes(built.model.NI, built.model.NJ));
    }
    if (!status) return status;
    return Finish(std::move(built), body, progress);
}

Status BuildRevolvedBody(BodyProfile profile, const std::string& njText, BuiltBody& body, Progress* progress) {
    BuiltBody built;
    if (const Status columns = ReadColumnCount(njText, built.model.NJ); !columns) return columns;
    if (const Status fits = CheckGeometryFits(static_cast<double>(profile.xI.upper()) - 1.0, built.model.NJ); !fits)
        return fits;
    built.profile = std::move(profile);
    return Revolve(std::move(built), body, "The geometry", progress);
}

Status BuildGridBody(PanelModel grid, BuiltBody& body, Progress* progress) {
    if (const Status fits = CheckGeometryFits(grid.NI, grid.NJ); !fits) return fits;
    BuiltBody built;
    built.model = std::move(grid);
    built.model.BodyOfRevolution = false;
    return Finish(std::move(built), body, progress);
}

std::string BodyWarning(const BuiltBody& body, const std::string& resultsFile) {
    return BodyWarningText(CheckBody(body.model), body.model, body.revolved ? &body.profile : nullptr, resultsFile);
}

Status AppendBodySections(const BuiltBody& body, const std::string& outFile, Progress* progress) {
    const PanelModel& model = body.model;
    // About 350 bytes of sections per panel and 45 per node, for the progress of the writing.
    const double expected = 350.0 * model.NI * model.NJ + (body.revolved ? 45.0 * model.NI1 * model.NJ1 : 0.0);
    const auto watched = [progress, expected](ResultsAppender& out) {
        out.WatchProgress(progress, kStageResults, expected);
    };
    Status written = Status::Ok();
    if (body.revolved) {
        written = AppendSection(outFile, [&](ResultsAppender& out) { WriteProfileSection(body.profile, model.NI1, out); });
        if (written)
            written = AppendSection(outFile, [&](ResultsAppender& out) {
                watched(out);
                WriteBodyCoordinatesSection(model, out);
            });
    }
    if (written)
        written = AppendSection(outFile, [&](ResultsAppender& out) {
            watched(out);
            WritePanelReport(model, out);
        });
    return written;
}

}  // namespace panelflow
