#include "base/ProcessLimits.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <charconv>
#include <csignal>
#include <string>
#include <string_view>

namespace panelflow {
namespace {

// The first 64 KiB of a small system file; empty when it cannot be read.
std::string ReadSmallFile(const std::string& path) {
    std::string text;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return text;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got <= 0 || text.size() > (1u << 16)) break;
        text.append(buffer, static_cast<std::size_t>(got));
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

}  // namespace

void IgnoreFileSizeSignal() { std::signal(SIGXFSZ, SIG_IGN); }

MemoryLimit UsableMemory() {
    MemoryLimit limit;
    Consider(limit, KilobyteEntry(ReadSmallFile("/proc/meminfo"), "MemAvailable"), "available memory");

    struct rlimit address {};
    if (::getrlimit(RLIMIT_AS, &address) == 0 && address.rlim_cur != RLIM_INFINITY) {
        const double mapped = KilobyteEntry(ReadSmallFile("/proc/self/status"), "VmSize");
        const double cap = static_cast<double>(address.rlim_cur);
        Consider(limit, mapped < cap ? cap - (mapped > 0.0 ? mapped : 0.0) : 0.0, "the address-space limit");
    }
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
