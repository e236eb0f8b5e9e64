// SPDX-License-Identifier: GPL-3.0-or-later
#include "ImageCanvas.h"

#include <cmath>

namespace panelflow {
namespace {

// Liang-Barsky: cuts the segment a-b to the rectangle [xmin, xmax] x [ymin, ymax]; false when
// nothing of it lies inside.
bool ClipSegment(QPointF& a, QPointF& b, double xmin, double ymin, double xmax, double ymax) {
    double t0 = 0, t1 = 1;
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {a.x() - xmin, xmax - a.x(), a.y() - ymin, ymax - a.y()};
    for (int side = 0; side < 4; ++side) {
        if (p[side] == 0) {
            if (q[side] < 0) return false;
            continue;
        }
        const double t = q[side] / p[side];
        if (p[side] < 0) {
            if (t > t1) return false;
            if (t > t0) t0 = t;
        } else {
            if (t < t0) return false;
            if (t < t1) t1 = t;
        }
    }
    const QPointF start = a;
    a = start + t0 * QPointF(dx, dy);
    b = start + t1 * QPointF(dx, dy);
    return true;
}

bool IsFinite(QPointF p) { return std::isfinite(p.x()) && std::isfinite(p.y()); }

}  // namespace

QColor ToQColor(Rgb colour) { return QColor(colour.red, colour.green, colour.blue); }

ImageCanvas::ImageCanvas(QImage& image) : image_(image), painter_(&image) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
}

// The painter keeps its pen between calls; a new one only when the colour changes.
void ImageCanvas::UsePen(Rgb colour) {
    if (penSet_ && colour == pen_) return;
    painter_.setPen(QPen(ToQColor(colour), 1));
    pen_ = colour;
    penSet_ = true;
}

void ImageCanvas::Clear() {
    painter_.fillRect(image_.rect(), ToQColor(kPictureBackground));
    x_ = y_ = 0;
}

void ImageCanvas::SetCoordinates(float left, float top, float right, float bottom) {
    left_ = left;
    top_ = top;
    right_ = right;
    bottom_ = bottom;
}

QPointF ImageCanvas::Map(float X, float Y) const {
    return {(X - left_) / (right_ - left_) * image_.width(), (Y - top_) / (bottom_ - top_) * image_.height()};
}

void ImageCanvas::PlotPoint(float X, float Y) {
    x_ = X;
    y_ = Y;
    const QPointF p = Map(X, Y);
    if (!IsFinite(p)) return;
    const double col = std::floor(p.x()), row = std::floor(p.y());
    if (col < 0 || row < 0 || col >= image_.width() || row >= image_.height()) return;
    UsePen(kBlack);
    painter_.drawPoint(static_cast<int>(col), static_cast<int>(row));
}

void ImageCanvas::LineTo(float X, float Y, Rgb colour) {
    DrawSegment(Map(x_, y_), Map(X, Y), colour);
    x_ = X;
    y_ = Y;
}

void ImageCanvas::Line(float X1, float Y1, float X2, float Y2, Rgb colour) {
    DrawSegment(Map(X1, Y1), Map(X2, Y2), colour);
    x_ = X2;
    y_ = Y2;
}

void ImageCanvas::DrawSegment(QPointF a, QPointF b, Rgb colour) {
    if (!IsFinite(a) || !IsFinite(b)) return;
    // A margin of two pixels keeps the cut ends off the visible border.
    if (!ClipSegment(a, b, -2.0, -2.0, image_.width() + 2.0, image_.height() + 2.0)) return;
    UsePen(colour);
    painter_.drawLine(a, b);
}

}  // namespace panelflow
