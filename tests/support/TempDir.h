// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers shared by the tests: a temporary directory removed at the end of the test, reading a
// whole file, a user interface that records messages instead of showing them.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "commands/UserInterface.h"

namespace panelflow::testing {

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "panelflow-test-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

// Every entry of a directory but the tests' own dot files, with what it is: a regular file's
// bytes, where a symbolic link leads, or the kind of any other file. Equal snapshots mean that
// nothing in the directory changed.
inline std::map<std::string, std::string> Snapshot(const std::filesystem::path& dir) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (name[0] == '.') continue;
        const auto kind = entry.symlink_status().type();
        if (kind == std::filesystem::file_type::regular) entries[name] = ReadFile(entry.path().string());
        else if (kind == std::filesystem::file_type::symlink) entries[name] = "link to " + std::filesystem::read_symlink(entry).string();
        else entries[name] = "kind " + std::to_string(static_cast<int>(kind));
    }
    return entries;
}

// Splits a results-file text at its CR LF line ends.
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

class RecordingInterface : public UserInterface {
public:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    // The text among the messages, its explanation apart.
    void ShowExplainedMessage(const std::string& text, const std::string& explanation) override {
        messages.push_back(text);
        explanations.push_back(explanation);
    }
    void ShowWarning(const std::string& text) override { warnings.push_back(text); }
    std::vector<std::string> messages;
    std::vector<std::string> explanations;
    std::vector<std::string> warnings;
};

}  // namespace panelflow::testing
