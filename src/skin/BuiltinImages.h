#pragma once

#include <QImage>
#include <QSize>

#include <vector>

// The player's own images, drawn by this code: button pairs (a coloured lit image and a grey
// rest image), toggle states, small indicators, the title and the four background tiles. Each
// has the number and size a skin file of the same name must have. Everything outside a
// button's shape is pure key green, with no softened edge that comes near it.
namespace BuiltinImages {

inline constexpr QRgb KeyColour = 0xFF00FF00; // pure green: shows what lies behind

struct Info {
    int id;
    const char *name; // the file name a skin gives it, without ".bmp"
    QSize size;
    bool keyed;       // drawn over the window (false: a background tile)
};

// Every image, in the order a skin folder lists them.
std::vector<Info> all();
const Info *find(int id);

// The image, drawn for a screen of this pixel ratio (its size in pixels is the listed size
// times the ratio, its devicePixelRatio the ratio); a null image for an unknown number.
QImage image(int id, qreal devicePixelRatio = 1.0);

// Background tiles are drawn by SkinBackgrounds.cpp.
QImage background(int id, QSize size);

} // namespace BuiltinImages
