// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The progress window of long work: a small window over the main window with the stage (the
// names in base/Progress.h, "panel geometry" or "elimination", say), a bar with its fraction and
// a Cancel button. It is not modal: the main window keeps repainting and its
// controls are disabled while the work runs.

#include <QDialog>
#include <string>

class QLabel;
class QProgressBar;
class QPushButton;

namespace panelflow {

class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    explicit ProgressWindow(QWidget* owner);

    // Shows the window (if hidden) with the stage and its fraction (0 to 1).
    void Show(const std::string& stage, double fraction);

signals:
    void cancelled();

protected:
    void reject() override;  // Escape and the window's close control cancel like the button

private:
    QLabel* stage_;
    QProgressBar* bar_;
    QPushButton* cancel_;
};

}  // namespace panelflow
