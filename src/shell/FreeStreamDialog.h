// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The dialog "Free stream": the free stream of the window's Hess command as its three components
// X, Y, Z (direction and speed together), read exactly as the batch program reads --stream X,Y,Z
// (commands/FreeStreamText.h) and refused for the same reasons. The dialog says, as the user
// types, the speed and direction it reads or why it refuses the text; OK waits for a stream that
// can be used. Window-modal, without blocking: the stream chosen arrives through streamChosen.

#include <QDialog>

#include "model/FreeStream.h"

class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace panelflow {

class FreeStreamDialog : public QDialog {
    Q_OBJECT
public:
    explicit FreeStreamDialog(QWidget* owner);

    // Shows the dialog with `stream` in its boxes.
    void Open(const FreeStream& stream);

signals:
    void streamChosen(const panelflow::FreeStream& stream);

private:
    // Reads the boxes; true when they make a stream, which is then in `read_`.
    bool Check();
    void Stream_Accept();

    QLineEdit* Stream_X = nullptr;
    QLineEdit* Stream_Y = nullptr;
    QLineEdit* Stream_Z = nullptr;
    QLabel* Stream_Reading = nullptr;
    QDialogButtonBox* Stream_Buttons = nullptr;
    FreeStream read_;
};

}  // namespace panelflow
