// SPDX-License-Identifier: GPL-3.0-or-later
#include "PictureBox.h"

#include <QMouseEvent>
#include <QPainter>

#include "ImageCanvas.h"

namespace panelflow {

PictureBox::PictureBox(QSize size, QWidget* parent) : QWidget(parent), image_(size, QImage::Format_RGB32) {
    setFixedSize(size);
    image_.fill(ToQColor(kPictureBackground));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
}

// A click is a press and a release of the left button inside the picture.
void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    clickedHere_ = click;
    if (click) emit clicked();
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton && clickedHere_;
}

void PictureBox::leaveEvent(QEvent* event) {
    clickedHere_ = false;
    QWidget::leaveEvent(event);
}

}  // namespace panelflow
