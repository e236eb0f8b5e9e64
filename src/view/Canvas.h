// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The drawing area as the view sees it: a picture with its own coordinate system, a background
// colour, a foreground colour for single points and a current drawing position. The window
// paints it into an image; tests record the calls.
//
// Coordinates are picture coordinates (X, Y) in single precision; SetCoordinates maps
// X = left..right onto the width and Y = top..bottom onto the height. Lines are solid and one
// pixel wide. Every operation leaves the current position at its last point.

#include <cstdint>

namespace panelflow {

struct Rgb {
    std::uint8_t red = 0, green = 0, blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kGreen{0, 255, 0};
inline constexpr Rgb kBlue{0, 0, 255};
inline constexpr Rgb kBlack{0, 0, 0};
// The drawing area's light-yellow background.
inline constexpr Rgb kPictureBackground{255, 255, 192};

class Canvas {
public:
    virtual ~Canvas() = default;
    // Fills the picture with the background colour; the current position becomes (0, 0).
    virtual void Clear() = 0;
    // Maps X = left..right onto the picture's width and Y = top..bottom onto its height.
    virtual void SetCoordinates(float left, float top, float right, float bottom) = 0;
    // Sets one point in the foreground colour.
    virtual void PlotPoint(float X, float Y) = 0;
    // Line from the current position to (X, Y).
    virtual void LineTo(float X, float Y, Rgb colour) = 0;
    // Line from (X1, Y1) to (X2, Y2).
    virtual void Line(float X1, float Y1, float X2, float Y2, Rgb colour) = 0;
};

}  // namespace panelflow
