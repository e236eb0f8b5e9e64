// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window "Body and solution": a small non-modal window beside the main window that names the
// body (the sphere, or the file's path), its NI x NJ panels, the free stream of the next Hess
// command, the solver of the last solution and the state of that solution, in the words of
// SummariseSession. Refresh() rewrites it from the session; the main window calls it after every
// command and change of the free stream, never while a command runs, so the window never reads a
// session that the worker is changing.

#include <QWidget>

#include "commands/Session.h"

class QLabel;

namespace panelflow {

class BodyWindow : public QWidget {
    Q_OBJECT
public:
    BodyWindow(const Session& session, QWidget* owner);

    void Refresh();

private:
    const Session& session_;
    QLabel* Body_Name = nullptr;
    QLabel* Body_Panels = nullptr;
    QLabel* Body_Stream = nullptr;
    QLabel* Body_Solver = nullptr;
    QLabel* Body_Solution = nullptr;
};

}  // namespace panelflow
