// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The session in words, for the window "Body and solution" and the titles of the windows that
// show a solution: which body is loaded, its panels, the free stream, the solver and the state of
// the solution. Toolkit-free; file names are made printable.

#include <string>

#include "commands/Session.h"
#include "model/FreeStream.h"

namespace panelflow {

struct SessionSummary {
    std::string body;      // "sphere of diameter 1", the file's path, or "none yet"
    std::string panels;    // "4 × 4 (NI × NJ), 16 panels", or "none"
    std::string stream;    // the stream of the next Hess command: "(1, 0, 0), speed 1"
    std::string solver;    // the solver of the last solution of this body, or "none yet"
    std::string solution;  // solved (with its stream), none yet, or none after a zero pivot
};

SessionSummary SummariseSession(const Session& session);

// "(1, 0, 0)": the components' shortest texts.
std::string FreeStreamWords(const FreeStream& vinf);

// "sphere of diameter 1, 16 × 16 panels, free stream (1, 0, 0)": the body (a file by its name
// alone), its panels and, when it has a solution, that solution's stream; "" without a body.
std::string SolutionTitle(const Session& session);

}  // namespace panelflow
