// SPDX-License-Identifier: GPL-3.0-or-later
#include "FreeStreamDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cmath>

#include "base/NumberText.h"
#include "commands/FreeStreamText.h"

namespace panelflow {
namespace {

const QColor kRefusalColour(192, 0, 0);
constexpr int kReadingWidth = 300;
constexpr int kShownDigits = 6;  // of the speed and direction read, which the boxes hold exactly

QLineEdit* MakeComponent(const char* name, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    return box;
}

QString Text(double value) { return QString::fromStdString(ShortestText(value)); }

}  // namespace

FreeStreamDialog::FreeStreamDialog(QWidget* owner) : QDialog(owner) {
    setObjectName("FreeStreamDialog");
    setWindowTitle("Free stream");
    Stream_X = MakeComponent("Stream_X", this);
    Stream_Y = MakeComponent("Stream_Y", this);
    Stream_Z = MakeComponent("Stream_Z", this);
    Stream_Reading = new QLabel(this);
    Stream_Reading->setObjectName("Stream_Reading");
    Stream_Reading->setTextFormat(Qt::PlainText);
    Stream_Reading->setWordWrap(true);
    Stream_Reading->setMinimumWidth(kReadingWidth);
    Stream_Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    Stream_Buttons->setObjectName("Stream_Buttons");

    auto* layout = new QFormLayout(this);
    auto* note = new QLabel("The free stream of the next Hess panel method, in global axes; its length is the speed.", this);
    note->setWordWrap(true);
    layout->addRow(note);
    layout->addRow("X:", Stream_X);
    layout->addRow("Y:", Stream_Y);
    layout->addRow("Z:", Stream_Z);
    layout->addRow(Stream_Reading);
    layout->addRow(Stream_Buttons);

    for (QLineEdit* box : {Stream_X, Stream_Y, Stream_Z}) connect(box, &QLineEdit::textChanged, this, &FreeStreamDialog::Check);
    connect(Stream_Buttons, &QDialogButtonBox::accepted, this, &FreeStreamDialog::Stream_Accept);
    connect(Stream_Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void FreeStreamDialog::Open(const FreeStream& stream) {
    Stream_X->setText(Text(stream.VinfX));
    Stream_Y->setText(Text(stream.VinfY));
    Stream_Z->setText(Text(stream.VinfZ));
    Check();
    Stream_X->setFocus();
    Stream_X->selectAll();
    open();
}

// The boxes make the batch program's text X,Y,Z; blanks around a number are no part of it.
bool FreeStreamDialog::Check() {
    const QString text = Stream_X->text().trimmed() + ',' + Stream_Y->text().trimmed() + ',' + Stream_Z->text().trimmed();
    FreeStream stream;
    const Status read = ReadFreeStream(text.toStdString(), stream);
    QPalette colours = Stream_Reading->palette();
    colours.setColor(QPalette::WindowText, read ? palette().color(QPalette::WindowText) : kRefusalColour);
    Stream_Reading->setPalette(colours);
    Stream_Buttons->button(QDialogButtonBox::Ok)->setEnabled(read.ok);
    if (!read) {
        Stream_Reading->setText(QString::fromStdString(read.message));
        return false;
    }
    read_ = stream;
    const double speed = std::hypot(stream.VinfX, stream.VinfY, stream.VinfZ);
    Stream_Reading->setText(QString("Speed %1, along (%2, %3, %4).")
                                .arg(QString::number(speed, 'g', kShownDigits))
                                .arg(QString::number(stream.VinfX / speed, 'g', kShownDigits))
                                .arg(QString::number(stream.VinfY / speed, 'g', kShownDigits))
                                .arg(QString::number(stream.VinfZ / speed, 'g', kShownDigits)));
    return true;
}

void FreeStreamDialog::Stream_Accept() {
    if (!Check()) return;
    emit streamChosen(read_);
    accept();
}

}  // namespace panelflow
