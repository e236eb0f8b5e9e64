// SPDX-License-Identifier: GPL-3.0-or-later
#include "MessageBoxUserInterface.h"

#include <QGuiApplication>

namespace panelflow {

void MessageBoxUserInterface::ShowMessage(const std::string& text) { Show(QMessageBox::Critical, text); }

void MessageBoxUserInterface::ShowExplainedMessage(const std::string& text, const std::string& explanation) {
    Show(QMessageBox::Critical, text, explanation);
}

void MessageBoxUserInterface::ShowWarning(const std::string& text) { Show(QMessageBox::Warning, text); }

void MessageBoxUserInterface::ShowInformation(const std::string& text) { Show(QMessageBox::Information, text); }

void MessageBoxUserInterface::Show(QMessageBox::Icon icon, const std::string& text, const std::string& explanation) {
    QMessageBox box(parent_);
    box.setObjectName("MessageBox");
    box.setWindowTitle(QGuiApplication::applicationDisplayName());
    box.setText(QString::fromStdString(text));
    box.setInformativeText(QString::fromStdString(explanation));
    box.setStandardButtons(QMessageBox::Ok);
    box.setIcon(icon);
    // A message may come in the middle of a long command; the pointer must not look busy while
    // the user reads it.
    QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    QGuiApplication::restoreOverrideCursor();
}

}  // namespace panelflow
