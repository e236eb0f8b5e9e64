// SPDX-License-Identifier: GPL-3.0-or-later
#include "BodyWindow.h"

#include <QFormLayout>
#include <QLabel>

#include "commands/SessionSummary.h"

namespace panelflow {
namespace {

constexpr int kValueWidth = 320;

// A value the user may select and copy (a long path, say), wrapped where it is too long.
QLabel* MakeValue(const char* name, QWidget* parent) {
    auto* value = new QLabel(parent);
    value->setObjectName(name);
    value->setTextFormat(Qt::PlainText);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    value->setWordWrap(true);
    value->setMinimumWidth(kValueWidth);
    return value;
}

}  // namespace

BodyWindow::BodyWindow(const Session& session, QWidget* owner) : QWidget(owner, Qt::Window), session_(session) {
    setObjectName("BodyWindow");
    setWindowTitle("Body and solution");
    Body_Name = MakeValue("Body_Name", this);
    Body_Panels = MakeValue("Body_Panels", this);
    Body_Stream = MakeValue("Body_Stream", this);
    Body_Solver = MakeValue("Body_Solver", this);
    Body_Solution = MakeValue("Body_Solution", this);

    auto* layout = new QFormLayout(this);
    layout->addRow("Body:", Body_Name);
    layout->addRow("Panels:", Body_Panels);
    layout->addRow("Free stream:", Body_Stream);
    layout->addRow("Solver:", Body_Solver);
    layout->addRow("Solution:", Body_Solution);
    Refresh();
}

void BodyWindow::Refresh() {
    const SessionSummary summary = SummariseSession(session_);
    Body_Name->setText(QString::fromStdString(summary.body));
    Body_Panels->setText(QString::fromStdString(summary.panels));
    Body_Stream->setText(QString::fromStdString(summary.stream));
    Body_Solver->setText(QString::fromStdString(summary.solver));
    Body_Solution->setText(QString::fromStdString(summary.solution));
}

}  // namespace panelflow
