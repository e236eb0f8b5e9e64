#include "results/ResultsFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "results/WholeFile.h"

namespace panelflow {
namespace {

constexpr std::size_t kBlockSize = 1 << 20;

std::string Describe(const std::string& path, std::string_view what, int errorNumber) {
    std::string text = "The results file ";
    text += path;
    text += ' ';
    text += what;
    text += ": ";
    text += std::strerror(errorNumber);
    text += '.';
    return text;
}

}  // namespace

Status StartResultsFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return Status::Fail(Describe(path, "cannot be created", errno));
    if (::close(fd) != 0) return Status::Fail(Describe(path, "cannot be closed", errno));
    return Status::Ok();
}

ResultsAppender::ResultsAppender(const std::string& path) : path_(path) {
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd_ < 0) Fail("cannot be opened for appending", errno);
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
    return failed() ? Status::Fail(error_) : Status::Ok();
}

ResultsTransaction::ResultsTransaction(std::string path) : path_(std::move(path)) {
    struct stat info {};
    if (::stat(path_.c_str(), &info) == 0) length_ = info.st_size;
}

void ResultsTransaction::Rollback() {
    // Best effort: if even truncating fails there is nothing more we can do than report the
    // original failure, which the caller already holds.
    (void)::truncate(path_.c_str(), length_);
}

}  // namespace panelflow
