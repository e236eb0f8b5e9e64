// SPDX-License-Identifier: GPL-3.0-or-later
#include "Version.h"

// Generated in the build tree at every build, from BuildVersion.h.in.
#include "BuildVersion.h"

namespace panelflow {

std::string VersionLine(std::string_view program) {
    std::string line(program);
    line += ' ';
    line += kProjectVersion;
    if (!kBuildCommit.empty()) {
        line += " (commit ";
        line += kBuildCommit;
        line += ')';
    }
    line += '\n';
    return line;
}

std::string VersionNumber() { return std::string(kProjectVersion); }

}  // namespace panelflow
