// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One program at a time per results file. Two programs appending to one Axisym.txt would mix
// their sections, and a program starting would empty the file under another one; so whoever
// writes a results file (the window, the batch program, the Python module) takes this advisory
// lock on it before the file is first emptied and holds it for as long as it runs. The lock is
// flock(2)'s, on an open description of its own, so that the results file can be opened and
// closed around every section without letting go of it; it ends with the process.

#include <string>

#include "base/Status.h"

namespace panelflow {

class ResultsFileLock {
public:
    ResultsFileLock() = default;
    ~ResultsFileLock();
    ResultsFileLock(ResultsFileLock&& other) noexcept;
    ResultsFileLock& operator=(ResultsFileLock&& other) noexcept;
    ResultsFileLock(const ResultsFileLock&) = delete;
    ResultsFileLock& operator=(const ResultsFileLock&) = delete;

    // Takes the lock on the results file at `path`, creating the file, empty, if it does not
    // exist. When another process holds it, refuses with a message that names the folder and,
    // where the system tells, that process's name and number; nothing is changed then. A path
    // that is no regular file (the null device, or one that the results file's own checks will
    // refuse) and a file system without locks are let through unlocked.
    Status Take(const std::string& path);

    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

}  // namespace panelflow
