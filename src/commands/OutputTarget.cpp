#include "commands/OutputTarget.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>

#include "base/PrintableText.h"

namespace panelflow {

Status CheckOutputTarget(const std::string& path, std::string_view what, const std::string& resultsFile) {
    const auto fail = [&](const char* reason) {
        return Status::Fail(std::string(what) + " " + PrintableText(path) + " cannot be written: " + reason + ".");
    };
    if (path.empty()) return Status::Fail("No file name was given for " + std::string(what) + ".");
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) return fail(std::strerror(EISDIR));
        struct stat results {};
        if (::stat(resultsFile.c_str(), &results) == 0 && results.st_dev == info.st_dev && results.st_ino == info.st_ino)
            return fail("it is the results file");
    }
    const std::size_t slash = path.rfind('/');
    const std::string directory = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    if (::access(directory.c_str(), W_OK | X_OK) != 0) return fail(std::strerror(errno));
    return Status::Ok();
}

bool HasSuffix(std::string_view path, std::string_view suffix) {
    if (path.size() < suffix.size()) return false;
    const std::string_view end = path.substr(path.size() - suffix.size());
    for (std::size_t c = 0; c < suffix.size(); ++c)
        if (std::tolower(static_cast<unsigned char>(end[c])) != std::tolower(static_cast<unsigned char>(suffix[c])))
            return false;
    return true;
}

}  // namespace panelflow
