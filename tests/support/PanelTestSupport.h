#pragma once
// Test support for the geometry tests: panel models built from the generated sphere or from a
// node grid given point by point, and a results file in a temporary directory of its own, read
// back line by line.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "geometry/BodyOfRevolution.h"
#include "geometry/PanelGeometry.h"
#include "model/PanelModel.h"

namespace panelflow::testing {

struct Point {
    double x, y, z;
};

inline void SetCounts(PanelModel& model, int NI, int NJ) {
    model.NI = NI;
    model.NJ = NJ;
    model.NI1 = NI + 1;
    model.NJ1 = NJ + 1;
}

// The node grid of the sphere of diameter 1 with NI x NJ panels; no panel geometry yet.
inline PanelModel SphereGrid(int NI, int NJ, BodyProfile* profileOut = nullptr) {
    PanelModel model;
    SetCounts(model, NI, NJ);
    BodyProfile profile;
    SphereProfile(NI, profile);
    BuildBodyOfRevolution(profile, model);
    if (profileOut) *profileOut = profile;
    return model;
}

// The sphere with its panels computed; the build must succeed.
inline PanelModel SpherePanels(int NI, int NJ) {
    PanelModel model = SphereGrid(NI, NJ);
    const Status status = BuildPanels(model);
    EXPECT_TRUE(status.ok) << status.message;
    return model;
}

// A node grid of NI1 x NJ1 nodes whose node (i, j) is node(i, j).
inline PanelModel GridOf(int NI, int NJ, const std::function<Point(int, int)>& node) {
    PanelModel model;
    SetCounts(model, NI, NJ);
    model.xNode = Array2D<double>(model.NI1, model.NJ1);
    model.yNode = Array2D<double>(model.NI1, model.NJ1);
    model.zNode = Array2D<double>(model.NI1, model.NJ1);
    for (int i = 1; i <= model.NI1; ++i) {
        for (int j = 1; j <= model.NJ1; ++j) {
            const Point p = node(i, j);
            model.xNode(i, j) = p.x;
            model.yNode(i, j) = p.y;
            model.zNode(i, j) = p.z;
        }
    }
    return model;
}

inline void SetNode(PanelModel& model, int i, int j, Point p) {
    model.xNode(i, j) = p.x;
    model.yNode(i, j) = p.y;
    model.zNode(i, j) = p.z;
}

// A results file in a fresh temporary directory, removed with the directory at the end.
class TemporaryResultsFile {
public:
    TemporaryResultsFile() {
        std::string pattern = (std::filesystem::temp_directory_path() / "panelflow-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed for " << pattern;
        directory_ = pattern;
        path_ = directory_ + "/Axisym.txt";
    }
    ~TemporaryResultsFile() {
        std::error_code ignored;
        std::filesystem::remove_all(directory_, ignored);
    }
    TemporaryResultsFile(const TemporaryResultsFile&) = delete;
    TemporaryResultsFile& operator=(const TemporaryResultsFile&) = delete;

    const std::string& path() const { return path_; }

    // The file's lines without their ends; a line not ended by CR LF fails the test.
    std::vector<std::string> Lines() const {
        std::ifstream in(path_, std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        std::vector<std::string> lines;
        std::size_t start = 0;
        while (start < text.size()) {
            const std::size_t end = text.find("\r\n", start);
            if (end == std::string::npos) {
                ADD_FAILURE() << "the file ends without CR LF after: " << text.substr(start);
                lines.push_back(text.substr(start));
                break;
            }
            const std::string line = text.substr(start, end - start);
            if (line.find_first_of("\r\n") != std::string::npos)
                ADD_FAILURE() << "a line holds a lone CR or LF: " << line;
            lines.push_back(line);
            start = end + 2;
        }
        return lines;
    }

private:
    std::string directory_;
    std::string path_;
};

}  // namespace panelflow::test
