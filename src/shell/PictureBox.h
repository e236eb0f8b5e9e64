// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The drawing area Pic1: shows an image that the view draws into, so the picture survives being
// covered (the file picker lies over it) without a redraw. A click of the left button in it is
// reported as clicked(); so is the second click of a double click, but only when the first one
// was in the picture too: a double click on a file of the picker hides the picker at its first
// click, and its second half must not act on the picture that appears below.

#include <QImage>
#include <QWidget>

namespace panelflow {

class PictureBox : public QWidget {
    Q_OBJECT
public:
    // A drawing area of a fixed size, filled with the light-yellow background.
    PictureBox(QSize size, QWidget* parent);

    // The picture that a canvas draws into; call update() afterwards to show it.
    QImage& image() { return image_; }
    const QImage& image() const { return image_; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QImage image_;
    bool pressed_ = false;       // the left button went down in the picture
    bool clickedHere_ = false;   // the last click ended here and the pointer has not left since
};

}  // namespace panelflow
