#pragma once

#include <QPoint>
#include <QRect>

#include <array>

// The colour chooser's arithmetic, free of widgets so a test can call it directly. Every
// truncation is deliberate: the pickers, the images and the numbers must agree to the unit.
namespace ColourMath {

struct Rgb {
    int red = 0, green = 0, blue = 0;
    bool operator==(const Rgb &) const = default;
};

struct Hsb {
    int hue = 0, saturation = 0, brightness = 0; // 0..359, 0..255, 0..255
    bool operator==(const Hsb &) const = default;
};

enum Channel { Red, Green, Blue };

Hsb toHsb(Rgb c);
Rgb toRgb(Hsb c);

int limitChannel(int value); // 0..255
int limitHue(int value);     // 0..359

// The wheel: radius 100 about its centre, hue 0 to the right and 90 up.
inline constexpr int WheelRadius = 100;
QPoint wheelPoint(QPoint centre, int hue, int saturation);
// Within the radius: where a press may start a wheel drag, and what the wheel image covers.
bool onWheel(QPoint centre, QPoint p);
// Hue and saturation under p (brightness left alone); saturation is 255 beyond the rim.
Hsb wheelPick(QPoint centre, QPoint p);

// The brightness bar of 'height' rows from 'top'; its bottom edge (top + height) lies below
// its last row. Brightness under row y, limited to 0..255, and the row of the marker's centre.
int barBrightness(int top, int height, int y);
int barMarkerRow(int top, int height, int brightness);

// The slope that stands for a vertical line.
inline constexpr double VerticalSlope = 1000000.0;

// The cube's three axes from a common origin, red up, green down-left, blue down-right.
struct CubeAxes {
    QPoint origin;
    std::array<QPoint, 3> ends;
    int length(Channel c) const; // the whole pixels of the Euclidean length
    // The slope of an axis in screen terms (y grows down).
    double slope(Channel c) const;
};

// The cube image's own axes, moved by 'offset'.
CubeAxes cubeAxes(QPoint offset = {});
// The axis point of a channel value: trunc(length × value / 255) from the origin.
QPoint axisPoint(const CubeAxes &axes, Channel c, int value);
// The value a drag of channel c to 'pointer' gives: its projection on the axis, kept to it.
int dragValue(const CubeAxes &axes, Channel c, QPoint pointer);

// Where the line through a with slope sa meets the line through b with slope sb.
QPoint meet(QPoint a, double sa, QPoint b, double sb);

// The corners of the box spanned by the three axis points (the origin is the seventh).
struct BoxCorners {
    QPoint rg, gb, rb, rgb;
    bool operator==(const BoxCorners &) const = default;
};
BoxCorners boxCorners(const CubeAxes &axes, QPoint r, QPoint g, QPoint b);

} // namespace ColourMath
