#include "MessageBoxUserInterface.h"

#include <QGuiApplication>
#include <QMessageBox>

namespace panelflow {

void MessageBoxUserInterface::ShowMessage(const std::string& text) {
    QMessageBox box(parent_);
    box.setWindowTitle(QGuiApplication::applicationDisplayName());
    box.setText(QString::fromStdString(text));
    box.setStandardButtons(QMessageBox::Ok);
    box.setIcon(QMessageBox::NoIcon);
    // A message may come in the middle of a long command; the pointer must not look busy while
    // the user reads it.
    QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    QGuiApplication::restoreOverrideCursor();
}

}  // namespace panelflow
