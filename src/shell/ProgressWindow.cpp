// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProgressWindow.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace panelflow {
namespace {

constexpr int kBarSteps = 1000;

}  // namespace

ProgressWindow::ProgressWindow(QWidget* owner) : QDialog(owner) {
    setObjectName("ProgressWindow");
    setWindowTitle("Working");
    setModal(false);
    stage_ = new QLabel(this);
    stage_->setObjectName("ProgressStage");
    stage_->setMinimumWidth(260);
    bar_ = new QProgressBar(this);
    bar_->setObjectName("ProgressBar");
    bar_->setRange(0, kBarSteps);
    cancel_ = new QPushButton("Cancel", this);
    cancel_->setObjectName("ProgressCancel");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(stage_);
    layout->addWidget(bar_);
    layout->addWidget(cancel_, 0, Qt::AlignRight);
    connect(cancel_, &QPushButton::clicked, this, &ProgressWindow::reject);
}

void ProgressWindow::Show(const std::string& stage, double fraction) {
    const QString text = stage.empty() ? QString("Starting") : QString::fromStdString(stage);
    stage_->setText(text.left(1).toUpper() + text.mid(1) + " ...");
    bar_->setValue(static_cast<int>(std::lround(std::clamp(fraction, 0.0, 1.0) * kBarSteps)));
    if (!isVisible()) {
        cancel_->setEnabled(true);
        show();
    }
}

void ProgressWindow::reject() {
    cancel_->setEnabled(false);
    stage_->setText("Cancelling ...");
    emit cancelled();
}

}  // namespace panelflow
