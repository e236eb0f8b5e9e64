// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing a file whole or not at all: the text goes to a temporary file beside the target, which
// then replaces the target in one rename. A bad directory, a full disk, a refused target, a stop
// or any other failure leaves the target as it was (absent, or its old contents) and no
// temporary file behind. Only SIGKILL, or a crash of the machine, can leave one: it is named
// "<target's name>.panelflow-unfinished-XXXXXX", holds part of the text and may be deleted.
//
// The target must name nothing yet or a regular file. A symbolic link is followed: the file it
// leads to is replaced (or made) and the link kept. A directory, a named pipe, a device or a
// socket is refused, as is the file the guard keeps (the results file) and any results file that
// another program is writing (results/ResultsFileLock.h); a file replaced keeps its permissions.

#include <cstddef>
#include <string>
#include <string_view>

#include "base/Progress.h"
#include "base/Status.h"

namespace panelflow {

// Writes `size` bytes to the open descriptor `fd`, again after an interruption. On failure
// returns false with errno's value in `errorNumber`.
bool WriteAll(int fd, const char* data, std::size_t size, int& errorNumber);

// What a whole-file writer must respect besides its target.
struct WholeFileGuard {
    std::string kept;              // a file never to be replaced (the results file); empty for none
    Progress* progress = nullptr;  // asked just before the target is replaced
};

// The mark in the name of a temporary file, between the target's name and six random characters.
inline constexpr std::string_view kUnfinishedMark = ".panelflow-unfinished-";

// Replaces the file at `path` with `contents`. `what` names the file in a failure's message
// ("The CSV file"): "<what> <path> cannot be written: <reason>." A stop asked through the guard's
// progress before the rename removes the temporary file and throws Cancelled.
Status WriteWholeFile(const std::string& path, std::string_view contents, std::string_view what,
                      const WholeFileGuard& guard = {});

// The checks of WriteWholeFile that need no text, for a caller that would rather refuse a target
// before long work than after it: the same refusals of the target, and of a folder that is
// missing or takes no new file. The writer still has the last word.
Status CheckWholeFileTarget(const std::string& path, std::string_view what, const WholeFileGuard& guard = {});

}  // namespace panelflow
