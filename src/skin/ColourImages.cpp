#include "ColourImages.h"

#include "ColourMath.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

using namespace ColourMath;

namespace ColourImages {

namespace {

// Bresenham from 'from' towards 'to', 'to' itself only when asked.
template<class Plot>
void walkLine(QPoint from, QPoint to, bool withEnd, Plot plot)
{
    int x = from.x(), y = from.y();
    const int dx = std::abs(to.x() - x), dy = -std::abs(to.y() - y);
    const int sx = x < to.x() ? 1 : -1, sy = y < to.y() ? 1 : -1;
    int err = dx + dy;
    while (x != to.x() || y != to.y()) {
        plot(x, y);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
    if (withEnd)
        plot(x, y);
}

void invert(QImage &image, int x, int y)
{
    if (x < 0 || y < 0 || x >= image.width() || y >= image.height())
        return;
    reinterpret_cast<QRgb *>(image.scanLine(y))[x] ^= 0x00FFFFFF;
}

int unitToByte(double t)
{
    return static_cast<int>(std::lround(std::clamp(t, 0.0, 1.0) * 255));
}

} // namespace

QImage cube()
{
    const CubeAxes axes = cubeAxes();
    const QPoint o = axes.origin;
    QImage image(CubeSize, QImage::Format_RGB32);
    image.fill(Surround);
    // Each face is spanned by two axes; a pixel is on it when both its coordinates along
    // them lie in 0..1, and then that is how much of the two channels it shows.
    constexpr Channel Faces[3][2] = {{Red, Green}, {Red, Blue}, {Green, Blue}};
    constexpr double Slack = 1e-9;
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const double px = x - o.x(), py = y - o.y();
            for (const auto &face : Faces) {
                const QPoint u = axes.ends[face[0]] - o, v = axes.ends[face[1]] - o;
                const double det = double(u.x()) * v.y() - double(u.y()) * v.x();
                const double a = (px * v.y() - py * v.x()) / det;
                const double c = (u.x() * py - u.y() * px) / det;
                if (a < -Slack || c < -Slack || a > 1 + Slack || c > 1 + Slack)
                    continue;
                int rgb[3] = {0, 0, 0};
                rgb[face[0]] = unitToByte(a);
                rgb[face[1]] = unitToByte(c);
                line[x] = qRgb(rgb[0], rgb[1], rgb[2]);
                break;
            }
        }
    }
    for (const QPoint end : axes.ends)
        walkLine(o, end, true, [&](int x, int y) { image.setPixel(x, y, 0xFFFFFFFF); });
    return image;
}

QImage wheel()
{
    const QPoint centre(WheelRadius, WheelRadius);
    QImage image(WheelSize, QImage::Format_RGB32);
    image.fill(Surround);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (!onWheel(centre, {x, y}))
                continue;
            Hsb c = wheelPick(centre, {x, y});
            c.brightness = 255;
            const Rgb rgb = toRgb(c);
            line[x] = qRgb(rgb.red, rgb.green, rgb.blue);
        }
    }
    return image;
}

void replaceSurround(QImage &image, QColor with)
{
    const QRgb to = with.rgb() | 0xFF000000;
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] | 0xFF000000) == Surround)
                line[x] = to;
        }
    }
}

void xorLine(QImage &image, QPoint from, QPoint to)
{
    walkLine(from, to, false, [&](int x, int y) { invert(image, x, y); });
}

void xorFrame(QImage &image, QRect r, int pen)
{
    for (int y = r.top(); y <= r.bottom(); ++y) {
        const bool edgeRow = y < r.top() + pen || y > r.bottom() - pen;
        for (int x = r.left(); x <= r.right(); ++x) {
            if (edgeRow || x < r.left() + pen || x > r.right() - pen)
                invert(image, x, y);
        }
    }
}

} // namespace ColourImages
