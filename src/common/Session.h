#pragma once
// Everything one run of the program holds: the panel model, the body profile, the solution, the
// free stream and the shell's own state. One Session is owned by the window (or the batch
// program) and passed by reference to the commands; nothing else keeps program-wide data.

#include <string>

#include "geometry/BodyOfRevolution.h"
#include "panels/PanelModel.h"
#include "solver/HessSolve.h"

namespace panelflow {

struct ShellState {
    bool GeometryReady = false;  // a geometry (node grid and panels) exists
    bool DrawPanels = false;     // the view draws the panel outlines
    bool DrawCpSurface = false;  // the view draws the 1 - Cp net (only after a solution)
    std::string ProfileFile;     // full path of the last chosen profile file
    std::string CornerFile;      // full path of the last chosen corner-point file
    std::string OutFile{"Axisym.txt"};
};

struct Session {
    PanelModel model;
    BodyProfile profile;
    Solution solution;
    FreeStream vinf;
    ShellState shell;
};

}  // namespace panelflow
