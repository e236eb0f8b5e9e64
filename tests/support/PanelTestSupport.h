// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Test support for the geometry tests: panel models built from the generated sphere or from a
// node grid given point by point, and a results file in a temporary directory of its own, read
// back line by line.

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "base/NumberText.h"
#include "geometry/BodyOfRevolution.h"
#include "geometry/PanelGeometry.h"
#include "model/PanelModel.h"
#include "support/TempDir.h"

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

// A results file in a temporary directory of its own (TempDir), read back line by line.
class TemporaryResultsFile {
public:
    std::string path() const { return dir_.File("Axisym.txt"); }

    // The file's lines without their ends; a line not ended by CR LF fails the test.
    std::vector<std::string> Lines() const {
        const std::string text = ReadFile(path());
        if (!text.empty() && text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") != 0)
            ADD_FAILURE() << "the file ends without CR LF";
        std::vector<std::string> lines = testing::Lines(text);
        for (const std::string& line : lines)
            if (line.find_first_of("\r\n") != std::string::npos) ADD_FAILURE() << "a line holds a lone CR or LF: " << line;
        return lines;
    }

private:
    TempDir dir_;
};

// Corner k of panel (i, j) in global axes.
inline std::array<double, 3> Corner(const PanelModel& model, int i, int j, int k) {
    return {model.xCorner(i, j, k), model.yCorner(i, j, k), model.zCorner(i, j, k)};
}

// A value through the fixed-point writer of the results file.
inline std::string Fixed(double value, int decimals) {
    std::string text;
    AppendFixed(text, value, decimals);
    return text;
}

}  // namespace panelflow::testing
