// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/ProcessLimits.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <csignal>
#include <string>
#include <string_view>

namespace panelflow {
namespace {

// The first 64 KiB of a small system file; empty when it cannot be read. Read straight into the
// string, so that it runs on the smallest stack a user can set.
std::string ReadSmallFile(const std::string& path) {
    constexpr std::size_t kMost = std::size_t{1} << 16, kBlock = 4096;
    std::string text;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return text;
    while (text.size() < kMost) {
        const std::size_t had = text.size();
        text.resize(had + kBlock);
        const ssize_t got = ::read(fd, text.data() + had, kBlock);
        text.resize(had + static_cast<std::size_t>(got > 0 ? got : 0));
        if (got <= 0) break;
    }
    ::close(fd);
    return text;
}

// The whole number at the start of `text` (after blanks), or -1.
double LeadingCount(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    unsigned long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end == text.data()) return -1.0;
    return static_cast<double>(value);
}

// The value in kB of the line "<key>: <n> kB" of a /proc file, in bytes; -1 when absent.
double KilobyteEntry(const std::string& text, std::string_view key) {
    std::size_t at = 0;
    while ((at = text.find(key, at)) != std::string::npos) {
        if ((at == 0 || text[at - 1] == '\n') && text.compare(at + key.size(), 1, ":") == 0) {
            const double kilobytes = LeadingCount(std::string_view(text).substr(at + key.size() + 1));
            return kilobytes < 0.0 ? -1.0 : kilobytes * 1024.0;
        }
        at += key.size();
    }
    return -1.0;
}

void Consider(MemoryLimit& limit, double bytes, const char* what) {
    if (bytes < 0.0) return;
    if (limit.what[0] == '\0' || bytes < limit.bytes) limit = {bytes, what};
}

// The least room left under the memory limit of the cgroup at `path` below `root` and of each
// of its ancestors; -1 when none has a limit that can be read.
double RoomUnder(const std::string& root, std::string path, const char* limitFile, const char* usageFile) {
    double room = -1.0;
    for (;;) {
        const std::string dir = root + (path == "/" ? std::string() : path);
        const double limit = LeadingCount(ReadSmallFile(dir + "/" + limitFile));  // "max" reads as no limit
        const double usage = LeadingCount(ReadSmallFile(dir + "/" + usageFile));
        if (limit >= 0.0 && usage >= 0.0) {
            const double here = limit > usage ? limit - usage : 0.0;
            if (room < 0.0 || here < room) room = here;
        }
        if (path.empty() || path == "/") return room;
        const std::size_t slash = path.rfind('/');
        path = slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
    }
}

// The room left under the memory limits of the process's control groups: memory.max less
// memory.current in the unified hierarchy (cgroup v2), memory.limit_in_bytes less
// memory.usage_in_bytes in the memory controller's (v1).
double ControlGroupRoom() {
    const std::string groups = ReadSmallFile("/proc/self/cgroup");
    double room = -1.0;
    const auto consider = [&room](double here) {
        if (here >= 0.0 && (room < 0.0 || here < room)) room = here;
    };
    std::size_t start = 0;
    while (start < groups.size()) {
        std::size_t end = groups.find('\n', start);
        if (end == std::string::npos) end = groups.size();
        const std::string_view line(groups.data() + start, end - start);
        start = end + 1;
        const std::size_t first = line.find(':'), second = line.find(':', first + 1);
        if (first == std::string_view::npos || second == std::string_view::npos) continue;
        const std::string_view controllers = line.substr(first + 1, second - first - 1);
        const std::string path(line.substr(second + 1));
        if (controllers.empty()) {
            consider(RoomUnder("/sys/fs/cgroup", path, "memory.max", "memory.current"));
            consider(RoomUnder("/sys/fs/cgroup/unified", path, "memory.max", "memory.current"));
        } else if (controllers.find("memory") != std::string_view::npos) {
            consider(RoomUnder("/sys/fs/cgroup/memory", path, "memory.limit_in_bytes", "memory.usage_in_bytes"));
        }
    }
    return room;
}

// The stack-size limit (ulimit -s) bounds the main thread's stack, and is also the stack every new
// thread gets by default; OpenBLAS's kernels overflow a stack of some tens of KB. This runs
// before any library is initialised (OpenBLAS starts its threads then): it gives new threads at
// least the usual 8 MB (their stacks are mapped memory, which the limit does not cover), raises
// a soft limit below 1 MB to 1 MB, and where the hard limit does not allow that, ends the
// program with a message before it has touched any file. The C library is barely ready this
// early, so the message is written with write(2).
void MakeRoomOnStacks(int, char** argv, char**) {
    constexpr std::size_t kUsualStack = std::size_t{8} << 20;
    constexpr rlim_t kLeastStack = rlim_t{1} << 20;
    pthread_attr_t defaults;
    if (::pthread_getattr_default_np(&defaults) == 0) {
        std::size_t size = 0;
        if (::pthread_attr_getstacksize(&defaults, &size) == 0 && size < kUsualStack &&
            ::pthread_attr_setstacksize(&defaults, kUsualStack) == 0)
            ::pthread_setattr_default_np(&defaults);
        ::pthread_attr_destroy(&defaults);
    }
    struct rlimit stack {};
    if (::getrlimit(RLIMIT_STACK, &stack) != 0 || stack.rlim_cur >= kLeastStack) return;
    if (stack.rlim_max >= kLeastStack) {
        stack.rlim_cur = kLeastStack;
        if (::setrlimit(RLIMIT_STACK, &stack) == 0) return;
    }
    static char message[256];
    std::string_view program = argv[0] != nullptr ? argv[0] : "panelflow";
    program = program.substr(program.rfind('/') + 1).substr(0, 64);
    char* at = message + program.copy(message, program.size());
    constexpr std::string_view kLimit = ": the stack-size limit (ulimit -s) of ";
    constexpr std::string_view kTooSmall = " KB is too small; this program needs at least 1024 KB and changed nothing.\n";
    at += kLimit.copy(at, kLimit.size());
    at = std::to_chars(at, at + 24, static_cast<unsigned long long>(stack.rlim_cur >> 10)).ptr;
    at += kTooSmall.copy(at, kTooSmall.size());
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, message, static_cast<std::size_t>(at - message));
    ::_exit(1);
}

// Only a program has this section: the Python module, a shared object loaded into a running
// Python, compiles this file with PANELFLOW_SHARED_OBJECT.
#ifndef PANELFLOW_SHARED_OBJECT
__attribute__((section(".preinit_array"), used)) void (*const kMakeRoomOnStacks)(int, char**, char**) =
    MakeRoomOnStacks;
#endif

}  // namespace

void IgnoreFileSizeSignal() { std::signal(SIGXFSZ, SIG_IGN); }

MemoryLimit UsableMemory() {
    MemoryLimit limit;
    Consider(limit, KilobyteEntry(ReadSmallFile("/proc/meminfo"), "MemAvailable"), "available memory");

    // Each limit less what already counts against it: all mappings for the address space, the
    // private writable ones and the heap (VmData) for the data size.
    const std::string status = ReadSmallFile("/proc/self/status");
    const auto considerLimit = [&](int resource, std::string_view counted, const char* what) {
        struct rlimit cap {};
        if (::getrlimit(resource, &cap) != 0 || cap.rlim_cur == RLIM_INFINITY) return;
        const double used = std::max(KilobyteEntry(status, counted), 0.0);
        const double bytes = static_cast<double>(cap.rlim_cur);
        Consider(limit, used < bytes ? bytes - used : 0.0, what);
    };
    considerLimit(RLIMIT_AS, "VmSize", "the address-space limit");
    considerLimit(RLIMIT_DATA, "VmData", "the data-size limit");
    Consider(limit, ControlGroupRoom(), "the memory limit of its control group");

    if (limit.what[0] == '\0') {
        const long pages = ::sysconf(_SC_PHYS_PAGES);
        const long pageSize = ::sysconf(_SC_PAGESIZE);
        limit = {pages > 0 && pageSize > 0 ? static_cast<double>(pages) * static_cast<double>(pageSize) : 8e9,
                 "physical memory"};
    }
    return limit;
}

}  // namespace panelflow
