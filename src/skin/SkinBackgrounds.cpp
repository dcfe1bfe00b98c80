// The four background tiles. Each is a function on a torus (it wraps in both directions),
// so a tile laid next to itself shows no seam at any size it is drawn at.
#include "BuiltinImages.h"

#include <QColor>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace BuiltinImages {

namespace {

uint32_t hash(uint32_t x, uint32_t y, uint32_t seed)
{
    uint32_t h = x * 0x8DA6B343u ^ y * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 13;
    h *= 0x5BD1E995u;
    h ^= h >> 15;
    return h;
}

// Smooth value noise with cells x cells lattice points round the unit torus; u, v in [0, 1).
double noise(double u, double v, int cellsX, int cellsY, uint32_t seed)
{
    const double x = u * cellsX, y = v * cellsY;
    const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    const double fx = x - x0, fy = y - y0;
    auto at = [&](int ix, int iy) {
        const uint32_t wx = uint32_t(((ix % cellsX) + cellsX) % cellsX);
        const uint32_t wy = uint32_t(((iy % cellsY) + cellsY) % cellsY);
        return (hash(wx, wy, seed) & 0xFFFF) / 65535.0;
    };
    auto smooth = [](double t) { return t * t * (3 - 2 * t); };
    const double sx = smooth(fx), sy = smooth(fy);
    const double top = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * sx;
    const double bottom = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * sx;
    return top + (bottom - top) * sy;
}

// Octaves of noise, each twice as fine; 0..1.
double fractal(double u, double v, int cellsX, int cellsY, int octaves, uint32_t seed)
{
    double sum = 0, weight = 1, total = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += weight * noise(u, v, cellsX << o, cellsY << o, seed + uint32_t(o));
        total += weight;
        weight *= 0.5;
    }
    return sum / total;
}

QRgb mix(const QColor &a, const QColor &b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return qRgb(int(a.red() + (b.red() - a.red()) * t), int(a.green() + (b.green() - a.green()) * t),
                int(a.blue() + (b.blue() - a.blue()) * t));
}

template <typename F>
QImage paint(QSize size, F colourAt)
{
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            line[x] = colourAt((x + 0.5) / size.width(), (y + 0.5) / size.height());
    }
    return img;
}

} // namespace

QImage background(int id, QSize size)
{
    if (size.isEmpty())
        return {};
    switch (id) {
    case 227: // brushed aluminium: fine horizontal grain over a soft mottle
        return paint(size, [](double u, double v) {
            const double grain = fractal(u, v, 2, 48, 3, 11);
            const double mottle = fractal(u, v, 3, 3, 2, 12);
            return mix(QColor(0xB9, 0xBF, 0xC5), QColor(0xD9, 0xDE, 0xE2), 0.25 + 0.45 * grain + 0.3 * mottle);
        });
    case 295: // blue paper: fibres in two directions over a pale blue
        return paint(size, [](double u, double v) {
            const double fibres = 0.5 * fractal(u, v, 32, 4, 2, 21) + 0.5 * fractal(u, v, 4, 32, 2, 22);
            const double cloud = fractal(u, v, 4, 4, 3, 23);
            return mix(QColor(0xA9, 0xC3, 0xDD), QColor(0xD6, 0xE5, 0xF2), 0.3 * cloud + 0.7 * fibres);
        });
    case 296: // grey metal: darker steel with long scratches
        return paint(size, [](double u, double v) {
            const double grain = fractal(u, v, 1, 29, 3, 31);
            const double wear = fractal(u, v, 2, 2, 3, 32);
            return mix(QColor(0x88, 0x8F, 0x97), QColor(0xB2, 0xB8, 0xBE), 0.5 * grain + 0.5 * wear);
        });
    case 300: // clouds: white puffs drifting over a light sky
        return paint(size, [](double u, double v) {
            const double c = fractal(u, v, 4, 2, 5, 41);
            const double puff = std::clamp((c - 0.42) / 0.3, 0.0, 1.0);
            return mix(QColor(0x8F, 0xBC, 0xE6), QColor(0xF7, 0xFA, 0xFD), puff * puff * (3 - 2 * puff));
        });
    default:
        return {};
    }
}

} // namespace BuiltinImages
