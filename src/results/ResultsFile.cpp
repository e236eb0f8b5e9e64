// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/ResultsFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/PrintableText.h"
#include "results/FileKind.h"
#include "results/WholeFile.h"

namespace panelflow {
namespace {

constexpr std::size_t kBlockSize = 1 << 20;

std::string Describe(const std::string& path, std::string_view what, int errorNumber) {
    std::string text = "The results file ";
    text += PrintableText(path);
    text += ' ';
    text += what;
    text += ": ";
    text += std::strerror(errorNumber);
    text += '.';
    return text;
}

// The results file must be a regular file, or the null device for a run whose results are not
// wanted (or the always-full device, which stands for a full disk): a named pipe would hold the
// program until someone reads it, and another device or a socket cannot be cut back when a
// command fails.
bool IsResultsFileKind(const struct stat& info) {
    if (S_ISREG(info.st_mode)) return true;
    constexpr unsigned kMemoryDevices = 1, kNull = 3, kFull = 7;
    return S_ISCHR(info.st_mode) && major(info.st_rdev) == kMemoryDevices &&
           (minor(info.st_rdev) == kNull || minor(info.st_rdev) == kFull);
}

// Opens the results file with `flags` without ever waiting on a pipe; refuses anything but a
// regular file or the null device. Returns the descriptor, or -1 with `error` set.
int OpenResultsFile(const std::string& path, int flags, std::string& error) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && !IsResultsFileKind(info)) {
        error = NotARegularFile("The results file", path, info.st_mode);
        return -1;
    }
    const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0) {
        const char* what = (flags & O_TRUNC) ? "cannot be created" : "cannot be opened for appending";
        // ENXIO: a named pipe that came in the meantime, without a reader.
        error = errno == ENXIO ? NotARegularFile("The results file", path, S_IFIFO) : Describe(path, what, errno);
        return -1;
    }
    if (::fstat(fd, &info) != 0 || !IsResultsFileKind(info)) {
        ::close(fd);
        error = NotARegularFile("The results file", path, info.st_mode);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

}  // namespace

Status StartResultsFile(const std::string& path) {
    std::string error;
    const int fd = OpenResultsFile(path, O_WRONLY | O_CREAT | O_TRUNC, error);
    if (fd < 0) return Status::Fail(error, Fault::File);
    if (::close(fd) != 0) return Status::Fail(Describe(path, "cannot be closed", errno), Fault::File);
    return Status::Ok();
}

ResultsAppender::ResultsAppender(const std::string& path) : path_(path) {
    fd_ = OpenResultsFile(path, O_WRONLY | O_CREAT | O_APPEND, error_);
    line_.reserve(256);
    buffer_.reserve(kBlockSize + 4096);
}

ResultsAppender::~ResultsAppender() { Close(); }

void ResultsAppender::EndLine() {
    line_ += "\r\n";
    buffer_ += line_;
    line_.clear();
    if (buffer_.size() >= kBlockSize) {
        writtenBytes_ += static_cast<double>(buffer_.size());
        Flush();
        ReportBlock();
    }
}

void ResultsAppender::WatchProgress(Progress* progress, std::string_view stage, double expectedBytes) {
    progress_ = progress;
    stage_ = stage;
    expectedBytes_ = expectedBytes;
}

void ResultsAppender::ReportBlock() {
    if (progress_ == nullptr) return;
    progress_->Report(stage_, expectedBytes_ > writtenBytes_ ? writtenBytes_ / expectedBytes_ : 1.0);
    ThrowIfStopRequested(progress_);
}

void ResultsAppender::WriteLines(std::string_view lines) {
    if (!line_.empty()) EndLine();
    if (buffer_.size() + lines.size() < kBlockSize) {
        buffer_ += lines;
        return;
    }
    Flush();
    if (failed()) return;
    int errorNumber = 0;
    if (!WriteAll(fd_, lines.data(), lines.size(), errorNumber)) Fail("cannot be written", errorNumber);
}

void ResultsAppender::Flush() {
    if (!failed() && !buffer_.empty()) {
        int errorNumber = 0;
        if (!WriteAll(fd_, buffer_.data(), buffer_.size(), errorNumber)) Fail("cannot be written", errorNumber);
    }
    buffer_.clear();
}

void ResultsAppender::Fail(std::string_view what, int errorNumber) {
    if (error_.empty()) error_ = Describe(path_, what, errorNumber);
}

Status ResultsAppender::Close() {
    if (!line_.empty()) EndLine();
    Flush();
    if (fd_ >= 0) {
        if (::close(fd_) != 0) Fail("cannot be written", errno);
        fd_ = -1;
    }
    return failed() ? Status::Fail(error_, Fault::File) : Status::Ok();
}

ResultsTransaction::ResultsTransaction(std::string path) : path_(std::move(path)) {
    struct stat info {};
    if (::stat(path_.c_str(), &info) == 0) length_ = info.st_size;
}

void ResultsTransaction::Rollback() {
    // Best effort: if even truncating fails there is nothing more we can do than report the
    // original failure, which the caller already holds.
    if (::truncate(path_.c_str(), length_) != 0) return;
}

}  // namespace panelflow
