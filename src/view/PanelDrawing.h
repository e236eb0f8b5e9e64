// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The whole picture of the view: the open outline of every panel (red), on request the 1 - Cp
// net around the body (blue), and always the three coordinate axes (x red, y green, z blue),
// drawn over each other in that order onto a cleared picture.
//
// The net point of panel (i, j) lies off its control point along the unit normal by the
// distance 1 - Cp; rows of the net are closed rings around the body, the lines along the body
// are open. Everything is drawn in the frame centred on the panel corners.
//
// The 400 x 400 picture cannot show more panels than its 160,000 pixels one by one: a finer mesh
// is drawn as what the picture can show, every kI-th row and kJ-th column of nodes as red lines
// through their nodes (k the smallest step that leaves at most 400 each way) and the net at the
// same rows and columns of panels; the centre is still that of every corner.

#include "base/Array.h"
#include "model/PanelModel.h"
#include "view/Canvas.h"
#include "view/ViewTransform.h"

namespace panelflow {

// The two drawing options that the shell keeps between redraws.
struct DrawOptions {
    bool DrawPanels = false;     // panel outlines
    bool DrawCpSurface = false;  // the 1 - Cp net; only meaningful after a solution of this model
};

// The angles of the view in degrees and its scale (UsableScale applies).
struct ViewSettings {
    double alphaX = 0, alphaY = 0, alphaZ = 0, scale = 1;
};

// What one redraw used: the matrix, the centre and the scale (for callers that map points).
struct ViewFrame {
    ViewMatrix R;
    ViewCentre centre;
    double scale = 1;
};

// Redraws the picture from the model (and, when DrawCpSurface is on, OneMinusCp, [0..NI] x
// [0..NJ]). A net whose 1 - Cp array does not cover the model's panels is not drawn.
ViewFrame RedrawView(const PanelModel& model, const Array2D<double>& OneMinusCp, const DrawOptions& options,
                     const ViewSettings& settings, Canvas& canvas);

}  // namespace panelflow
