#pragma once
// Internal to the commands: the check, before long work, that a file can be written at a path,
// so that a bad path is refused at once rather than after the work. The writer itself (results/
// WholeFile.h) still has the last word.

#include <string>
#include <string_view>

#include "base/Status.h"

namespace panelflow {

// Refuses `path` when it names a directory or the results file `resultsFile` (under any name),
// or its directory cannot take a new file, with the message "<what> <path> cannot be written:
// <reason>."
Status CheckOutputTarget(const std::string& path, std::string_view what, const std::string& resultsFile);

// Whether `path` ends with `suffix`, letters of any case (".csv", ".VTS").
bool HasSuffix(std::string_view path, std::string_view suffix);

}  // namespace panelflow
