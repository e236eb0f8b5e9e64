// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A canvas that records every drawing call, with the segment each line covers, so that tests
// can count and inspect what the view drew.

#include <algorithm>
#include <vector>

#include "view/Canvas.h"

namespace panelflow::testing {

enum class DrawKind { Clear, SetCoordinates, PlotPoint, LineTo, Line };

struct DrawCall {
    DrawKind kind;
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // a line's ends; a point in (x2, y2); the window's left, top, right, bottom
    Rgb colour;
};

class RecordingCanvas : public Canvas {
public:
    void Clear() override {
        calls.push_back({DrawKind::Clear, 0, 0, 0, 0, kBlack});
        x_ = y_ = 0;
    }
    void SetCoordinates(float left, float top, float right, float bottom) override {
        calls.push_back({DrawKind::SetCoordinates, left, top, right, bottom, kBlack});
    }
    void PlotPoint(float X, float Y) override {
        calls.push_back({DrawKind::PlotPoint, X, Y, X, Y, kBlack});
        x_ = X;
        y_ = Y;
    }
    void LineTo(float X, float Y, Rgb colour) override {
        calls.push_back({DrawKind::LineTo, x_, y_, X, Y, colour});
        x_ = X;
        y_ = Y;
    }
    void Line(float X1, float Y1, float X2, float Y2, Rgb colour) override {
        calls.push_back({DrawKind::Line, X1, Y1, X2, Y2, colour});
        x_ = X2;
        y_ = Y2;
    }

    // Lines of either kind in the given colour.
    std::vector<DrawCall> Lines(Rgb colour) const {
        std::vector<DrawCall> found;
        std::copy_if(calls.begin(), calls.end(), std::back_inserter(found), [&](const DrawCall& c) {
            return (c.kind == DrawKind::Line || c.kind == DrawKind::LineTo) && c.colour == colour;
        });
        return found;
    }
    std::vector<DrawCall> OfKind(DrawKind kind) const {
        std::vector<DrawCall> found;
        std::copy_if(calls.begin(), calls.end(), std::back_inserter(found),
                     [&](const DrawCall& c) { return c.kind == kind; });
        return found;
    }

    std::vector<DrawCall> calls;

private:
    float x_ = 0, y_ = 0;
};

}  // namespace panelflow::testing
