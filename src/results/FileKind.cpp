// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/FileKind.h"

#include "base/PrintableText.h"

namespace panelflow {

const char* FileKindName(mode_t mode) {
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISFIFO(mode)) return "a named pipe";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    return "a special file";
}

std::string NotARegularFile(std::string_view what, std::string_view path, mode_t mode) {
    return std::string(what) + " " + PrintableText(path) + " is not a regular file (" + FileKindName(mode) +
           "); nothing was written to it.";
}

}  // namespace panelflow
