#include "ColourMath.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ColourMath {

Hsb toHsb(Rgb c)
{
    const int max = std::max({c.red, c.green, c.blue});
    const int min = std::min({c.red, c.green, c.blue});
    const int d = max - min;
    Hsb out;
    out.brightness = max;
    if (d == 0)
        return out;
    out.saturation = static_cast<int>(double(d) / max * 255);
    double h;
    if (c.red == max)
        h = double(c.green - c.blue) / d;
    else if (c.green == max)
        h = double(c.blue - c.red) / d + 2;
    else
        h = double(c.red - c.green) / d + 4;
    h *= 60;
    if (h < 0)
        h += 360;
    out.hue = h == 360 ? 0 : static_cast<int>(h);
    return out;
}

Rgb toRgb(Hsb c)
{
    const double v = c.brightness;
    const double chroma = v * c.saturation / 255;
    const double m = v - chroma;
    const double f = c.hue / 60.0;
    const int h = c.hue;
    double r, g, b;
    if (h <= 60) {
        r = v, g = m + chroma * f, b = m;
    } else if (h < 120) {
        r = m + chroma * (2 - f), g = v, b = m;
    } else if (h < 180) {
        r = m, g = v, b = m + chroma * (f - 2);
    } else if (h < 240) {
        r = m, g = m + chroma * (4 - f), b = v;
    } else if (h <= 300) {
        r = m + chroma * (f - 4), g = m, b = v;
    } else {
        r = v, g = m, b = m + chroma * (360 - h) / 60;
    }
    return {static_cast<int>(r), static_cast<int>(g), static_cast<int>(b)};
}

int limitChannel(int value)
{
    return std::clamp(value, 0, 255);
}

int limitHue(int value)
{
    return std::clamp(value, 0, 359);
}

QPoint wheelPoint(QPoint centre, int hue, int saturation)
{
    const double r = saturation * double(WheelRadius) / 255;
    const double angle = hue * 3.14159265358 / 180;
    return {centre.x() + static_cast<int>(r * std::cos(angle)), centre.y() - static_cast<int>(r * std::sin(angle))};
}

bool onWheel(QPoint centre, QPoint p)
{
    const QPoint d = p - centre;
    return d.x() * d.x() + d.y() * d.y() <= WheelRadius * WheelRadius;
}

Hsb wheelPick(QPoint centre, QPoint p)
{
    const int dx = p.x() - centre.x(), dy = centre.y() - p.y();
    Hsb out;
    if (dx != 0 || dy != 0) {
        const int hue = static_cast<int>(std::atan2(double(dy), double(dx)) * 180 / std::numbers::pi);
        out.hue = hue < 0 ? hue + 360 : hue;
    }
    // Whole pixels times 2.55, in integers: in floating point the rim itself comes out 254.
    const int distance = static_cast<int>(std::sqrt(double(dx * dx + dy * dy)));
    out.saturation = std::min(distance * 255 / WheelRadius, 255);
    return out;
}

int barBrightness(int top, int height, int y)
{
    return limitChannel((top + height - y) * 255 / height);
}

int barMarkerRow(int top, int height, int brightness)
{
    return top + height - height * brightness / 255;
}

namespace {
double exactLength(const CubeAxes &axes, Channel c)
{
    const QPoint d = axes.ends[c] - axes.origin;
    return std::hypot(double(d.x()), double(d.y()));
}
} // namespace

int CubeAxes::length(Channel c) const
{
    return static_cast<int>(exactLength(*this, c));
}

double CubeAxes::slope(Channel c) const
{
    const QPoint d = ends[c] - origin;
    return d.x() == 0 ? VerticalSlope : double(d.y()) / d.x();
}

CubeAxes cubeAxes(QPoint offset)
{
    return {QPoint(102, 108) + offset, {QPoint(102, 9) + offset, QPoint(23, 147) + offset, QPoint(181, 147) + offset}};
}

QPoint axisPoint(const CubeAxes &axes, Channel c, int value)
{
    const int along = axes.length(c) * value / 255;
    const QPoint d = axes.ends[c] - axes.origin;
    // Multiplied before dividing, so that a whole-pixel axis gives whole pixels.
    const double length = exactLength(axes, c);
    return axes.origin + QPoint(static_cast<int>(d.x() * along / length), static_cast<int>(d.y() * along / length));
}

int dragValue(const CubeAxes &axes, Channel c, QPoint pointer)
{
    const QPoint o = axes.origin;
    double d;
    if (c == Red) {
        d = o.y() - std::min(pointer.y(), o.y());
    } else {
        // The axis's own row under the pointer's column, not the square's last row: a jump
        // of the pointer then lands where a slow drag to the same place would.
        const int x = c == Green ? std::min(pointer.x(), o.x()) : std::max(pointer.x(), o.x());
        const double row = o.y() + (x - o.x()) * axes.slope(c);
        d = std::hypot(double(x - o.x()), row - o.y());
    }
    const int length = axes.length(c);
    return static_cast<int>(std::min(d, double(length)) / length * 255);
}

QPoint meet(QPoint a, double sa, QPoint b, double sb)
{
    // A vertical line gives its own column: from the slope 1000000 it comes out 0.0001 short,
    // and truncated a whole pixel short, which put a step in the box's upright edges.
    double x = (b.y() - a.y() + sa * a.x() - sb * b.x()) / (sa - sb);
    if (sa == VerticalSlope)
        x = a.x();
    else if (sb == VerticalSlope)
        x = b.x();
    // The row from the shallower line: a near-vertical slope would magnify the error in x.
    const double y = std::abs(sa) <= std::abs(sb) ? a.y() + sa * (x - a.x()) : b.y() + sb * (x - b.x());
    return {static_cast<int>(x), static_cast<int>(y)};
}

BoxCorners boxCorners(const CubeAxes &axes, QPoint r, QPoint g, QPoint b)
{
    const double sr = axes.slope(Red), sg = axes.slope(Green), sb = axes.slope(Blue);
    BoxCorners out;
    out.rg = meet(r, sg, g, sr);
    out.gb = meet(g, sb, b, sg);
    out.rb = meet(r, sb, b, sr);
    out.rgb = meet(out.gb, sr, out.rg, sb);
    return out;
}

} // namespace ColourMath
