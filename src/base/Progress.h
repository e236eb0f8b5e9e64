// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Progress of a long computation, and the user's wish to stop it.
//
// Report(stage, fraction): stage is a short name for the user (the kStage texts below), fraction
// runs from 0 to 1. Called at most a few hundred times per stage, never from two threads at once
// (but not always from the same one), so an implementation may do a little I/O.
//
// StopRequested(): read by the computation between pieces of work that take well under a second,
// from any of its threads. When it says yes, the computation throws Cancelled at the next such
// point (ThrowIfStopRequested); the command that began the work catches it and undoes it.

#include <string_view>

namespace panelflow {

struct Cancelled {};

class Progress {
public:
    virtual ~Progress() = default;
    virtual void Report(std::string_view stage, double fraction) = 0;
    virtual bool StopRequested() const { return false; }
};

// Throws Cancelled when there is a progress whose user asked to stop.
inline void ThrowIfStopRequested(const Progress* progress) {
    if (progress != nullptr && progress->StopRequested()) throw Cancelled{};
}

// The stages of the commands, as the user reads them: of a geometry command,
inline constexpr std::string_view kStageReading = "reading the file";
inline constexpr std::string_view kStageBody = "body of revolution";
inline constexpr std::string_view kStagePanels = "panel geometry";
inline constexpr std::string_view kStageChecks = "body checks";
// of the Hess command,
inline constexpr std::string_view kStageInfluence = "influence coefficients";
inline constexpr std::string_view kStageTables = "coefficient tables";
inline constexpr std::string_view kStageElimination = "elimination";
inline constexpr std::string_view kStageIteration = "iterative solution";
inline constexpr std::string_view kStageSurfaceVelocities = "surface velocities";
// and of both: their sections of the results file.
inline constexpr std::string_view kStageResults = "results";
inline constexpr std::string_view kStageExport = "export";

}  // namespace panelflow
