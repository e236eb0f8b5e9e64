// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/WholeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/PrintableText.h"
#include "results/FileKind.h"
#include "results/ResultsFileLock.h"

namespace panelflow {
namespace {

constexpr std::size_t kLongestName = 255;  // NAME_MAX of Linux's file systems
constexpr int kMostLinks = 40;             // as many links as the kernel follows in one path

// The folder part of `path` ("." for a bare name).
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// The path the file behind `path` has once every symbolic link at its end is followed (it may
// not exist yet). False, with errno set, for a loop of links or one that cannot be read.
bool FollowLinks(const std::string& path, std::string& target) {
    target = path;
    for (int hop = 0; hop < kMostLinks; ++hop) {
        struct stat info {};
        if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return true;
        std::string link(4096, '\0');
        const ssize_t size = ::readlink(target.c_str(), link.data(), link.size());
        if (size < 0) return false;
        link.resize(static_cast<std::size_t>(size));
        const std::size_t slash = target.rfind('/');
        target = link.empty() || link[0] == '/' || slash == std::string::npos ? link : target.substr(0, slash + 1) + link;
    }
    errno = ELOOP;
    return false;
}

// The temporary file's name: the target's, the mark and mkstemp's six characters, the target's
// part shortened where the whole would be longer than a name may be.
std::string TemporaryName(const std::string& target) {
    const std::size_t slash = target.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t room = kLongestName - kUnfinishedMark.size() - 6;
    std::string name = target.substr(0, nameStart + std::min(target.size() - nameStart, room));
    name += kUnfinishedMark;
    name += "XXXXXX";
    return name;
}

// A temporary file that removes itself unless it has been renamed onto its target.
struct TemporaryFile {
    std::string path;
    bool renamed = false;
    ~TemporaryFile() {
        if (!path.empty() && !renamed) ::unlink(path.c_str());
    }
};

}  // namespace

bool WriteAll(int fd, const char* data, std::size_t size, int& errorNumber) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            errorNumber = errno;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

namespace {

// What a whole-file writer finds at `path`: the file behind its links (`target`) and, where it
// exists, its status. Refuses a target that is no regular file or is the guard's kept file.
Status FindTarget(const std::string& path, std::string_view what, const WholeFileGuard& guard, std::string& target,
                  struct stat& existing, bool& exists) {
    if (!FollowLinks(path, target))
        return Status::Fail(std::string(what) + " " + PrintableText(path) + " cannot be written: " + std::strerror(errno) +
                            ".", Fault::File);
    exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode))
        return Status::Fail(NotARegularFile(what, target == path ? path : path + " (a link to " + target + ")",
                                            existing.st_mode),
                            Fault::File);
    struct stat kept {};
    if (exists && !guard.kept.empty() && ::stat(guard.kept.c_str(), &kept) == 0 && kept.st_dev == existing.st_dev &&
        kept.st_ino == existing.st_ino)
        return Status::Fail(std::string(what) + " " + PrintableText(path) +
                            " is the results file; nothing was written to it.",
                            Fault::File);
    return Status::Ok();
}

}  // namespace

Status CheckWholeFileTarget(const std::string& path, std::string_view what, const WholeFileGuard& guard) {
    std::string target;
    struct stat existing {};
    bool exists = false;
    if (Status found = FindTarget(path, what, guard, target, existing, exists); !found) return found;
    const std::string folderName = FolderOf(target);
    if (::access(folderName.c_str(), W_OK | X_OK) == 0) return Status::Ok();
    const int errorNumber = errno;
    const std::string start = std::string(what) + " " + PrintableText(path) + " cannot be written: ";
    if (errorNumber == ENOENT)
        return Status::Fail(start + "its folder " + PrintableText(folderName) + " does not exist.", Fault::File);
    return Status::Fail(start + std::strerror(errorNumber) + ".", Fault::File);
}

Status WriteWholeFile(const std::string& path, std::string_view contents, std::string_view what,
                      const WholeFileGuard& guard) {
    const auto fail = [&](const std::string& reason) {
        return Status::Fail(std::string(what) + " " + PrintableText(path) + " cannot be written: " + reason + ".",
                            Fault::File);
    };
    const auto failNumber = [&](int errorNumber) { return fail(std::strerror(errorNumber)); };

    std::string target;
    struct stat existing {};
    bool exists = false;
    if (Status found = FindTarget(path, what, guard, target, existing, exists); !found) return found;
    // A results file that another program is writing is no target: replacing it would lose that
    // program's work. Held until the rename, the lock keeps such a program from starting there.
    ResultsFileLock lock;
    if (exists && S_ISREG(existing.st_mode))
        if (Status locked = lock.Take(target); !locked) return locked;
    const auto refuseKind = [&](mode_t mode) {
        return Status::Fail(NotARegularFile(what, target == path ? path : path + " (a link to " + target + ")", mode),
                            Fault::File);
    };

    // The temporary file lies in the target's directory, so that the rename stays on one file system.
    TemporaryFile temporary{TemporaryName(target)};
    const int fd = ::mkstemp(temporary.path.data());
    if (fd < 0) {
        const int errorNumber = errno;
        temporary.path.clear();
        struct stat folder {};
        const std::string folderName = FolderOf(target);
        if (errorNumber == ENOENT && ::stat(folderName.c_str(), &folder) != 0)
            return fail("its folder " + PrintableText(folderName) + " does not exist");
        if (errorNumber == ENOENT && S_ISDIR(folder.st_mode))
            return fail("its folder " + PrintableText(folderName) + " takes no new files");
        return failNumber(errorNumber);
    }
    int errorNumber = 0;
    // mkstemp makes the file readable by its owner alone; a new file reads like any other, a
    // replaced one keeps its owner and permissions.
    if (exists && ::fchown(fd, existing.st_uid, existing.st_gid) != 0) {
        // Only the superuser may give a file away; a user's own file stays theirs anyway.
    }
    bool written = ::fchmod(fd, exists ? existing.st_mode & 0777 : 0644) == 0 || (errorNumber = errno, false);
    written = written && WriteAll(fd, contents.data(), contents.size(), errorNumber);
    // A full disk may show only when the blocks are allocated: at fsync or close.
    if (written && ::fsync(fd) != 0) written = false, errorNumber = errno;
    if (::close(fd) != 0 && written) written = false, errorNumber = errno;
    if (!written) return failNumber(errorNumber);

    // The last moment at which the target is still as it was.
    ThrowIfStopRequested(guard.progress);
    if (::stat(target.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) return refuseKind(existing.st_mode);
    if (std::rename(temporary.path.c_str(), target.c_str()) != 0) return failNumber(errno);
    temporary.renamed = true;
    return Status::Ok();
}

}  // namespace panelflow
