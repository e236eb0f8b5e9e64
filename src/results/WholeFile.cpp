#include "results/WholeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace panelflow {

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

Status WriteWholeFile(const std::string& path, std::string_view contents, std::string_view what) {
    const auto fail = [&](int errorNumber) {
        return Status::Fail(std::string(what) + " " + path + " cannot be written: " + std::strerror(errorNumber) + ".",
                            Fault::File);
    };
    // The temporary file lies in the target's directory, so that the rename stays on one file system.
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return fail(errno);
    int errorNumber = 0;
    // mkstemp makes the file readable by its owner alone; a finished file reads like any other.
    bool written = ::fchmod(fd, 0644) == 0 || (errorNumber = errno, false);
    written = written && WriteAll(fd, contents.data(), contents.size(), errorNumber);
    // A full disk may show only when the blocks are allocated: at fsync or close.
    if (written && ::fsync(fd) != 0) written = false, errorNumber = errno;
    if (::close(fd) != 0 && written) written = false, errorNumber = errno;
    if (written && std::rename(temporary.c_str(), path.c_str()) != 0) written = false, errorNumber = errno;
    if (!written) {
        ::unlink(temporary.c_str());
        return fail(errorNumber);
    }
    return Status::Ok();
}

}  // namespace panelflow
