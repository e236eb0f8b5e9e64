// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/SessionSummary.h"

#include <charconv>
#include <cmath>

#include "base/NumberText.h"
#include "base/PrintableText.h"

namespace panelflow {
namespace {

constexpr const char* kSphereName = "sphere of diameter 1";

std::string Count(long long n) { return std::to_string(n); }

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The speed to six significant digits; the components themselves are shown exactly.
std::string Speed(const FreeStream& vinf) {
    char text[32];
    const double speed = std::hypot(vinf.VinfX, vinf.VinfY, vinf.VinfZ);
    return std::string(text, std::to_chars(text, text + sizeof text, speed, std::chars_format::general, 6).ptr);
}

}  // namespace

std::string FreeStreamWords(const FreeStream& vinf) {
    return "(" + ShortestText(vinf.VinfX) + ", " + ShortestText(vinf.VinfY) + ", " + ShortestText(vinf.VinfZ) + ")";
}

SessionSummary SummariseSession(const Session& session) {
    const ShellState& shell = session.shell;
    const PanelModel& model = session.model;
    SessionSummary summary;
    summary.stream = FreeStreamWords(shell.Stream) + ", speed " + Speed(shell.Stream);
    if (!shell.GeometryReady) {
        summary.body = "none yet";
        summary.panels = "none";
        summary.solver = "none yet";
        summary.solution = "none yet: build a body from the menu Geometry";
        return summary;
    }
    summary.body = shell.BodyFile.empty() ? kSphereName : PrintableText(shell.BodyFile);
    summary.panels = Count(model.NI) + " × " + Count(model.NJ) + " (NI × NJ), " + Count(model.PanelCount()) + " panels";
    summary.solver = session.solverUsed.empty() ? "none yet" : session.solverUsed;
    if (shell.SolutionReady)
        summary.solution = "solved, in the free stream " + FreeStreamWords(session.vinf);
    else if (shell.ZeroPivotStep > 0)
        summary.solution = "none: the elimination met a zero pivot at step " + Count(shell.ZeroPivotStep) + " of " +
                           Count(model.PanelCount());
    else
        summary.solution = "none yet: apply the Hess panel method";
    return summary;
}

std::string SolutionTitle(const Session& session) {
    const ShellState& shell = session.shell;
    if (!shell.GeometryReady) return {};
    std::string title = shell.BodyFile.empty() ? kSphereName : PrintableText(BaseName(shell.BodyFile));
    title += ", " + Count(session.model.NI) + " × " + Count(session.model.NJ) + " panels";
    if (shell.SolutionReady) title += ", free stream " + FreeStreamWords(session.vinf);
    return title;
}

}  // namespace panelflow
