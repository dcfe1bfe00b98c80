#pragma once

#include <QColor>

// Colours travel as the settings store keeps them: 0x00BBGGRR in an int.
using ColourRef = int;

inline constexpr ColourRef colourRef(int red, int green, int blue)
{
    return (red & 0xFF) | (green & 0xFF) << 8 | (blue & 0xFF) << 16;
}

inline QColor colourFromRef(ColourRef c)
{
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

inline ColourRef refFromColour(const QColor &c)
{
    return colourRef(c.red(), c.green(), c.blue());
}

// Three quarters of 'colour' and one quarter of 'back', per channel, truncated:
// the outline pen of a segment, which softens its edge against the background.
inline QColor edgeColour(ColourRef colour, ColourRef back)
{
    auto mix = [](int c, int b) { return static_cast<int>(c * 0.75 + b * 0.25); };
    return QColor(mix(colour & 0xFF, back & 0xFF), mix((colour >> 8) & 0xFF, (back >> 8) & 0xFF),
                  mix((colour >> 16) & 0xFF, (back >> 16) & 0xFF));
}
