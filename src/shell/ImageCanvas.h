// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The canvas of the drawing area: paints the view's calls into a QImage. Picture coordinates
// are mapped onto the image by the window that SetCoordinates gives; lines are clipped to the
// image first, so that points far outside (a large scale, a huge 1 - Cp) cannot upset the
// rasteriser, and lines with a non-finite end are left out.
//
// One ImageCanvas lives for one redraw: it holds a painter on the image until it is destroyed.

#include <QImage>
#include <QPainter>

#include "view/Canvas.h"

namespace panelflow {

class ImageCanvas : public Canvas {
public:
    explicit ImageCanvas(QImage& image);

    void Clear() override;
    void SetCoordinates(float left, float top, float right, float bottom) override;
    void PlotPoint(float X, float Y) override;
    void LineTo(float X, float Y, Rgb colour) override;
    void Line(float X1, float Y1, float X2, float Y2, Rgb colour) override;

private:
    QPointF Map(float X, float Y) const;
    void DrawSegment(QPointF a, QPointF b, Rgb colour);
    void UsePen(Rgb colour);

    QImage& image_;
    QPainter painter_;
    double left_ = 0, top_ = 0, right_ = 1, bottom_ = 1;
    float x_ = 0, y_ = 0;  // current position, picture coordinates
    Rgb pen_;
    bool penSet_ = false;
};

// The widget-independent colour of a view colour.
QColor ToQColor(Rgb colour);

}  // namespace panelflow
