// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/FieldCommand.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <new>

#include "base/PrintableText.h"
#include "base/ProcessLimits.h"
#include "commands/Refusal.h"
#include "input/FieldPointsInput.h"
#include "model/PanelCounts.h"
#include "results/FlowFieldExport.h"
#include "results/WholeFile.h"
#include "solver/FlowAtPoints.h"

namespace panelflow {
namespace {

// What a point takes while the flow is computed and written: its coordinates and values (9
// doubles and a flag) and about 200 characters of text.
constexpr double kBytesPerPoint = 8.0 * 9.0 + 1.0 + 200.0;

// Whether `path` ends with `suffix`, letters of any case (".csv", ".VTS").
bool HasSuffix(std::string_view path, std::string_view suffix) {
    if (path.size() < suffix.size()) return false;
    const std::string_view end = path.substr(path.size() - suffix.size());
    for (std::size_t c = 0; c < suffix.size(); ++c)
        if (std::tolower(static_cast<unsigned char>(end[c])) != std::tolower(static_cast<unsigned char>(suffix[c])))
            return false;
    return true;
}

// A box text holds colons and never a slash, nor does it end in .csv.
bool NamesAFile(const std::string& where) {
    struct stat info {};
    return ::stat(where.c_str(), &info) == 0 || where.find(':') == std::string::npos ||
           where.find('/') != std::string::npos || HasSuffix(where, ".csv");
}

}  // namespace

Status ComputeField(const PanelModel& model, const SurfaceSolution& surface, const FreeStream& vinf,
                    const std::vector<Vector3>& points, Progress* progress, FieldValues& values) {
    try {
        values = FlowAtPoints(model, surface.Sigma, vinf, points, progress);
    } catch (const std::bad_alloc&) {
        return OutOfMemory("The flow field", static_cast<double>(points.size()) * kBytesPerPoint);
    }
    return Status::Ok();
}

bool FieldCommand(const Session& session, const std::string& where, const std::string& path, UserInterface& ui,
                  Progress* progress) {
    if (!session.shell.SolutionReady) {
        ui.ShowMessage(std::string(kNoSolutionForFieldMessage));
        return false;
    }
    const bool vts = HasSuffix(path, ".vts");
    if (!vts && !HasSuffix(path, ".csv"))
        return Refuse(Status::Fail("The flow field is written to a .csv or a .vts file; " + PrintableText(path) +
                                   " is neither."),
                      nullptr, ui);
    const std::string_view what = vts ? "The VTK file" : "The CSV file";
    if (const Status target = CheckWholeFileTarget(path, what, {session.shell.OutFile}); !target)
        return Refuse(target, nullptr, ui);

    FieldPoints field;
    if (NamesAFile(where)) {
        if (vts)
            return Refuse(Status::Fail("A .vts file holds a box grid; the flow at the points of a file goes to a .csv "
                                       "file."),
                          nullptr, ui);
        if (const Status read = ReadFieldPointsFile(where, field.points); !read) return Refuse(read, nullptr, ui);
    } else {
        FieldBox box;
        if (const Status read = ReadFieldBox(where, box); !read) return Refuse(read, nullptr, ui);
        const double count = static_cast<double>(box.count[0]) * box.count[1] * box.count[2];
        const double bytes = count * kBytesPerPoint;
        const MemoryLimit usable = UsableMemory();
        if (bytes > 0.9 * usable.bytes)
            return Refuse(Status::Fail("The box of " + ShortestText(count) + " points needs " + MemoryText(bytes) +
                                       " of memory; this program may use " + MemoryText(usable.bytes) + " now (" +
                                       usable.what + "). Ask for fewer points.",
                                       Fault::Memory),
                          nullptr, ui);
        field.box = box;
        field.points = BoxGridPoints(box);
    }

    Status written;
    try {
        FieldValues values;
        written = ComputeField(session.model, session.solution, session.vinf, field.points, progress, values);
        if (written) {
            if (progress != nullptr) progress->Report(kStageExport, 0.0);
            ThrowIfStopRequested(progress);
            const WholeFileGuard guard{session.shell.OutFile, progress};
            written = vts ? WriteFieldVts(*field.box, field.points, values, path, guard)
                          : WriteFieldCsv(field.points, values, path, guard);
        }
    } catch (const std::bad_alloc&) {
        written = OutOfMemory("The flow field", static_cast<double>(field.points.size()) * kBytesPerPoint);
    } catch (const Cancelled&) {
        return false;
    }
    if (!written) return Refuse(written, nullptr, ui);
    return true;
}

std::string DefaultFieldBox(const Session& session) {
    const PanelModel& model = session.model;
    if (!session.shell.GeometryReady || model.PanelCount() < 1) return "";
    Vector3 lower{model.xC(1, 1), model.yC(1, 1), model.zC(1, 1)}, upper = lower;
    for (int i = 1; i <= model.NI; ++i)
        for (int j = 1; j <= model.NJ; ++j)
            for (int k = 1; k <= model.nCorner(i, j); ++k) {
                const Vector3 corner{model.xCorner(i, j, k), model.yCorner(i, j, k), model.zCorner(i, j, k)};
                for (int d = 0; d < 3; ++d) lower[d] = std::min(lower[d], corner[d]), upper[d] = std::max(upper[d], corner[d]);
            }
    const double extent = std::max({upper[0] - lower[0], upper[1] - lower[1], upper[2] - lower[2]});
    // The ends rounded outwards to tenths of the extent's decade, written as their decimals.
    const int decade = static_cast<int>(std::floor(std::log10(extent))) - 1;
    const double unit = std::pow(10.0, decade);
    const auto decimal = [decade](double steps) {
        return decade < 0 ? steps / std::pow(10.0, -decade) : steps * std::pow(10.0, decade);
    };
    std::string text;
    for (int d = 0; d < 3; ++d) {
        const double from = decimal(std::floor((lower[d] - extent / 2.0) / unit));
        const double to = decimal(std::ceil((upper[d] + extent / 2.0) / unit));
        const long count = std::lround((to - from) / (2.0 * extent) * 40.0) + 1;
        if (d > 0) text += ',';
        text += ShortestText(from);
        text += ':';
        text += ShortestText(to);
        text += ':';
        text += std::to_string(count);
    }
    return text;
}

}  // namespace panelflow
