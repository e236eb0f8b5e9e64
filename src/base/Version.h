// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The line that both programs print for --version: the program's name, the project's version
// and, when the build was made from a git checkout, the commit it was built from ("-dirty" when
// tracked files differed from that commit), so that a bug report can say which build it is.
//   panelflow-batch 1.0.0 (commit 0b518e8c3f2a)

#include <string>
#include <string_view>

namespace panelflow {

// Ends with a line feed.
std::string VersionLine(std::string_view program);

// The project's version alone: "1.0.0".
std::string VersionNumber();

}  // namespace panelflow
