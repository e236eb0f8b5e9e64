#pragma once
// Writing a file whole or not at all: the text goes to a temporary file beside the target, which
// then replaces the target in one rename. A bad directory, a full disk or any other failure
// leaves the target as it was (absent, or its old contents) and no temporary file behind.

#include <cstddef>
#include <string>
#include <string_view>

#include "base/Status.h"

namespace panelflow {

// Writes `size` bytes to the open descriptor `fd`, again after an interruption. On failure
// returns false with errno's value in `errorNumber`.
bool WriteAll(int fd, const char* data, std::size_t size, int& errorNumber);

// Replaces the file at `path` with `contents`. `what` names the file in a failure's message
// ("The CSV file"): "<what> <path> cannot be written: <reason>."
Status WriteWholeFile(const std::string& path, std::string_view contents, std::string_view what);

}  // namespace panelflow
