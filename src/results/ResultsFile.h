// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The results file: plain text, lines ended by CR LF, started empty when the program starts and
// appended to by every command, one section at a time (open for appending, write, close).
//
// Writing is all-or-nothing per command: a `ResultsTransaction` remembers the file's length
// when a command begins, and a command that fails part-way cuts the file back to it, so the file
// never holds half a section. Failures (the file cannot be created, opened or written, a full
// disk, a write beyond the file-size limit) come back as a Status whose message names the file
// and the reason. The results file must be a regular file (or the null device); a pipe, a
// device or a socket is refused at opening, without waiting for a reader.

#include <cstdint>
#include <string>
#include <string_view>

#include "base/NumberText.h"
#include "base/Progress.h"
#include "base/Status.h"

namespace panelflow {

inline constexpr std::string_view kResultsFileName = "Axisym.txt";

// Creates the file empty, truncating it if it exists.
Status StartResultsFile(const std::string& path);

// One open section of the results file. Items are added to the current line; EndLine() ends it
// with CR LF. Output is buffered in large blocks; the first failure is kept and later writes are
// skipped, so a writer need not check after every line. Close() reports the outcome.
class ResultsAppender {
public:
    explicit ResultsAppender(const std::string& path);
    ~ResultsAppender();
    ResultsAppender(const ResultsAppender&) = delete;
    ResultsAppender& operator=(const ResultsAppender&) = delete;

    ResultsAppender& Text(std::string_view text) { line_ += text; return *this; }
    ResultsAppender& Counter(long long number) { AppendCounter(line_, number); return *this; }
    ResultsAppender& Masked(double value, std::string_view mask) { AppendMasked(line_, value, mask); return *this; }
    void EndLine();

    // Appends text that already holds whole lines (each ended by CR LF); used by writers that
    // format large tables in blocks of their own.
    void WriteLines(std::string_view lines);

    // From now on, every block written reports `stage` with the fraction of `expectedBytes` written,
    // and throws Cancelled when the user asked to stop (see Progress.h).
    void WatchProgress(Progress* progress, std::string_view stage, double expectedBytes);

    // Flushes and closes; returns the first failure, if any. Safe to call twice.
    Status Close();
    bool failed() const { return !error_.empty(); }

private:
    void Flush();
    void ReportBlock();
    void Fail(std::string_view what, int errorNumber);

    std::string path_;
    int fd_ = -1;
    std::string line_;
    std::string buffer_;
    std::string error_;
    Progress* progress_ = nullptr;
    std::string_view stage_;
    double expectedBytes_ = 0.0, writtenBytes_ = 0.0;
};

// Appends one section through write(appender), opening and closing the file around it.
template <class Writer>
Status AppendSection(const std::string& path, Writer&& write) {
    ResultsAppender out(path);
    if (!out.failed()) write(out);
    return out.Close();
}

// Remembers the results file's length when a command begins; Rollback() cuts it back to that
// length (a file that did not exist is truncated to 0).
class ResultsTransaction {
public:
    explicit ResultsTransaction(std::string path);
    void Rollback();
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::int64_t length_ = 0;
};

}  // namespace panelflow
