// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The view's four text boxes as the redraw reads them: each angle box's leading number in
// degrees (0 when it does not begin with one), the scale box's leading number (1 when that is
// no usable scale). Read anew at every redraw, typed edits included.

#include <string>
#include <string_view>

#include "commands/Session.h"
#include "view/Canvas.h"
#include "view/PanelDrawing.h"

namespace panelflow {

struct ViewTexts {
    std::string alphaX{"0"}, alphaY{"0"}, alphaZ{"0"}, scale{"1"};
};

double ViewAngleFromText(std::string_view text);
double ViewScaleFromText(std::string_view text);
ViewSettings ReadViewTexts(const ViewTexts& texts);

// Redraws the session's body with its drawing options and the view's texts.
ViewFrame RedrawCommand(const Session& session, const ViewTexts& texts, Canvas& canvas);

}  // namespace panelflow
