// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the operating system lets this process have, asked before large work is started, and the
// one signal disposition that turns a limit into an ordinary write failure.

namespace panelflow {

// Ignores SIGXFSZ, so that a write beyond the file-size limit (ulimit -f) fails with EFBIG like
// a write to a full disk, and the command that made it rolls the results file back, instead of
// the process being killed in the middle of a line. Called once at the start of each program.
void IgnoreFileSizeSignal();

// The memory this process may still take, in bytes, and which limit decides it.
struct MemoryLimit {
    double bytes = 0.0;
    const char* what = "";  // "available memory", "the address-space limit", "the data-size limit",
                            // "the memory limit of its control group"
};

// The smallest of: the memory the system reports available (MemAvailable), the address-space
// limit (RLIMIT_AS, ulimit -v) less what the process has mapped already, the data-size limit
// (RLIMIT_DATA, ulimit -d: the heap and every private writable mapping) less what counts against
// it already, and the room under the memory limits of its control groups and their ancestors
// (memory.max less memory.current in cgroup v2, memory.limit_in_bytes less memory.usage_in_bytes
// in v1). Limits that cannot be read are left out; when none can, the physical memory counts.
MemoryLimit UsableMemory();

}  // namespace panelflow
