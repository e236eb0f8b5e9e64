// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Internal to the results layer: the one check of what kind of file the program may write, shared
// by the results file and the exports, and the refusal that names the kind.

#include <sys/stat.h>

#include <string>
#include <string_view>

namespace panelflow {

// "a directory", "a named pipe", "a socket", "a device" or "a special file".
const char* FileKindName(mode_t mode);

// "<what> <path> is not a regular file (<kind>); nothing was written to it."
std::string NotARegularFile(std::string_view what, std::string_view path, mode_t mode);

}  // namespace panelflow
