// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/ViewTexts.h"

#include "base/LeadingNumber.h"
#include "view/ViewTransform.h"

namespace panelflow {

double ViewAngleFromText(std::string_view text) { return LeadingNumber(text); }

double ViewScaleFromText(std::string_view text) { return UsableScale(LeadingNumber(text)); }

ViewSettings ReadViewTexts(const ViewTexts& texts) {
    return {ViewAngleFromText(texts.alphaX), ViewAngleFromText(texts.alphaY), ViewAngleFromText(texts.alphaZ),
            ViewScaleFromText(texts.scale)};
}

ViewFrame RedrawCommand(const Session& session, const ViewTexts& texts, Canvas& canvas) {
    const DrawOptions options{session.shell.DrawPanels, session.shell.DrawCpSurface};
    return RedrawView(session.model, session.solution.OneMinusCp, options, ReadViewTexts(texts), canvas);
}

}  // namespace panelflow
