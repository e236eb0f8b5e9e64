// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Everything one run of the program holds between commands: the panel model, the body profile,
// the surface solution, the free stream and the shell's own state. One Session is owned by the
// window (or the batch program) and passed by reference to the commands; nothing else keeps
// program-wide data. The influence matrices are not kept: they live only during the Hess command.

#include <string>

#include "model/BodyProfile.h"
#include "model/FreeStream.h"
#include "model/PanelModel.h"
#include "model/SurfaceSolution.h"
#include "results/ResultsFile.h"

namespace panelflow {

struct ShellState {
    bool GeometryReady = false;  // a geometry (node grid and panels) exists
    bool DrawPanels = false;     // the view draws the panel outlines
    bool DrawCpSurface = false;  // the view draws the 1 - Cp net (only after a solution)
    bool SolutionReady = false;  // `solution` belongs to the current geometry
    long ZeroPivotStep = 0;      // the step whose pivot was zero in the last solution of this geometry, or 0
    std::string ProfileFile;     // full path of the last chosen profile file
    std::string CornerFile;      // full path of the last chosen corner-point file
    std::string BodyFile;        // the file the current geometry came from; "" for the sphere
    FreeStream Stream = kUnitStreamAlongX;  // the free stream that the window's Hess command uses
    std::string OutFile{kResultsFileName};
};

struct Session {
    PanelModel model;
    BodyProfile profile;
    SurfaceSolution solution;
    FreeStream vinf;         // the free stream of the last solution
    std::string solverUsed;  // the solver of the last solution of this geometry, in words; "" before it
    ShellState shell;
};

}  // namespace panelflow
