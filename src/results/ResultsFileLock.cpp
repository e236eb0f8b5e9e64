// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/ResultsFileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <utility>

#include "base/PrintableText.h"

namespace panelflow {
namespace {

// The process holding a whole-file lock on the file with `info`'s device and inode, from the
// kernel's table of locks (/proc/locks: "1: FLOCK  ADVISORY  WRITE 4242 08:01:1234 0 EOF"); 0
// when the table does not say (another PID namespace, say).
long LockHolder(const struct stat& info) {
    std::ifstream table("/proc/locks");
    std::string line;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string number, type, mode, access, file;
        long pid = 0;
        if (!(fields >> number >> type >> mode >> access >> pid >> file) || type != "FLOCK") continue;
        unsigned deviceMajor = 0, deviceMinor = 0;
        unsigned long long inode = 0;
        const char* at = file.data();
        const char* const end = at + file.size();
        auto read = std::from_chars(at, end, deviceMajor, 16);
        if (read.ec != std::errc() || read.ptr == end || *read.ptr != ':') continue;
        read = std::from_chars(read.ptr + 1, end, deviceMinor, 16);
        if (read.ec != std::errc() || read.ptr == end || *read.ptr != ':') continue;
        read = std::from_chars(read.ptr + 1, end, inode);
        if (read.ec != std::errc()) continue;
        if (deviceMajor == major(info.st_dev) && deviceMinor == minor(info.st_dev) && inode == info.st_ino) return pid;
    }
    return 0;
}

// "panelflow-batch, process 4242": the holder's command name and number, or its number alone.
std::string DescribeProcess(long pid) {
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    const std::string number = "process " + std::to_string(pid);
    return name.empty() ? number : PrintableText(name) + ", " + number;
}

// The folder of `path`, absolute, as the user may look for it.
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    char* absolute = ::realpath(folder.c_str(), nullptr);
    if (absolute == nullptr) return folder;
    std::string shown = absolute;
    std::free(absolute);
    return shown;
}

}  // namespace

ResultsFileLock::~ResultsFileLock() {
    if (fd_ >= 0) ::close(fd_);
}

ResultsFileLock::ResultsFileLock(ResultsFileLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

ResultsFileLock& ResultsFileLock::operator=(ResultsFileLock&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

Status ResultsFileLock::Take(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) return Status::Ok();
    // Non-blocking, in case a named pipe took the name in the meantime; no truncation.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
    if (fd < 0) return Status::Ok();  // the results file's own opening will say why
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return Status::Ok();
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error != EWOULDBLOCK) return Status::Ok();  // a file system without locks
        const long holder = LockHolder(info);
        const std::string other = holder > 0 ? "Another program (" + DescribeProcess(holder) + ")" : "Another program";
        return Status::Fail(other + " is writing the results file " + PrintableText(path) + " in the folder " +
                            PrintableText(FolderOf(path)) +
                            "; only one program at a time may write there, so this one changed nothing. Start it "
                            "in another folder, or once the other has ended.",
                            Fault::File);
    }
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
    return Status::Ok();
}

}  // namespace panelflow
