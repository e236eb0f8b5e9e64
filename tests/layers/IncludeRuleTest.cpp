// SPDX-License-Identifier: GPL-3.0-or-later
// The layers of the program: every #include "…" in src/ names a header of its own folder or of
// a layer below it, as docs/architecture.md draws them:
//   base <- model <- {input, geometry, solver, results, view} <- commands <- {shell, batch, python}

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace panelflow {
namespace {

namespace fs = std::filesystem;

const std::map<std::string, std::set<std::string>> kBelow = {
    {"base", {}},
    {"model", {"base"}},
    {"input", {"base", "model"}},
    {"geometry", {"base", "model"}},
    {"solver", {"base", "model"}},
    {"results", {"base", "model"}},
    {"view", {"base", "model"}},
    {"commands", {"base", "model", "input", "geometry", "solver", "results", "view"}},
    {"shell", {"base", "model", "input", "geometry", "solver", "results", "view", "commands"}},
    {"batch", {"base", "model", "input", "geometry", "solver", "results", "view", "commands"}},
    {"python", {"base", "model", "input", "geometry", "solver", "results", "view", "commands"}},
};

// "file:line: folder includes other/header.h" for every include that breaks the rule under `src`.
std::vector<std::string> EdgesAgainstTheRule(const fs::path& src) {
    std::vector<std::string> wrong;
    for (const auto& entry : fs::recursive_directory_iterator(src)) {
        const std::string extension = entry.path().extension().string();
        if (!entry.is_regular_file() || (extension != ".h" && extension != ".cpp")) continue;
        const std::string folder = entry.path().parent_path().filename().string();
        const auto allowed = kBelow.find(folder);
        if (allowed == kBelow.end()) {
            wrong.push_back(entry.path().string() + ": lies in no layer");
            continue;
        }
        std::ifstream in(entry.path());
        std::string line;
        for (int number = 1; std::getline(in, line); ++number) {
            const auto start = line.find_first_not_of(" \t");
            if (start == std::string::npos || line.compare(start, 10, "#include \"") != 0) continue;
            const std::string header = line.substr(start + 10, line.find('"', start + 10) - start - 10);
            const auto slash = header.find('/');
            if (slash == std::string::npos) continue;  // a header beside the file
            const std::string target = header.substr(0, slash);
            if (target != folder && allowed->second.count(target) == 0)
                wrong.push_back(entry.path().string() + ":" + std::to_string(number) + ": " + folder + " includes " + header);
        }
    }
    return wrong;
}

TEST(Layers, EveryIncludeInTheSourcesNamesItsOwnFolderOrALayerBelow) {
    const std::vector<std::string> wrong = EdgesAgainstTheRule(fs::path(PANELFLOW_SOURCE_DIR) / "src");
    for (const std::string& edge : wrong) ADD_FAILURE() << edge;
}

TEST(Layers, AnIncludeAcrossTheMiddleRowOrUpwardsIsFound) {
    const fs::path scratch = fs::temp_directory_path() / ("panelflow-layers-" + std::to_string(::getpid()));
    fs::create_directories(scratch / "input");
    fs::create_directories(scratch / "model");
    std::ofstream(scratch / "input" / "Reader.cpp") << "#include \"input/Reader.h\"\n#include \"model/PanelModel.h\"\n"
                                                     << "  #include \"solver/GaussSolve.h\"\n";
    std::ofstream(scratch / "model" / "Model.h") << "#include \"commands/Session.h\"\n";
    const std::vector<std::string> wrong = EdgesAgainstTheRule(scratch);
    fs::remove_all(scratch);
    ASSERT_EQ(wrong.size(), 2u);
    const std::string both = wrong[0] + wrong[1];
    EXPECT_NE(both.find("input includes solver/GaussSolve.h"), std::string::npos) << both;
    EXPECT_NE(both.find("model includes commands/Session.h"), std::string::npos) << both;
}

}  // namespace
}  // namespace panelflow
