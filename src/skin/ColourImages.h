#pragma once

#include <QColor>
#include <QImage>

// The colour chooser's two pictures, drawn by our own code, and the XOR drawing of its
// markers. Both pictures come with a light grey surround for the caller to replace.
namespace ColourImages {

inline constexpr QRgb Surround = 0xFFC0C0C0;
inline constexpr QSize CubeSize{190, 190};
inline constexpr QSize WheelSize{202, 201};

// The RGB cube seen from its black corner at the axes' origin: the three faces that meet
// there, and the axes in white. In the cube's own coordinates (ColourMath::cubeAxes()).
QImage cube();
// Every pixel on the wheel at full brightness in the colour a press there picks; its centre
// is (100, 100).
QImage wheel();
void replaceSurround(QImage &image, QColor with);

// Marker strokes on an RGB32 image, each pixel inverted once: drawing a stroke twice
// leaves the image as it was. A line leaves out its end point, so a path of lines inverts
// each corner once. Pixels outside the image are skipped.
void xorLine(QImage &image, QPoint from, QPoint to);
// The outline of r, pen pixels wide, inside r.
void xorFrame(QImage &image, QRect r, int pen = 1);

} // namespace ColourImages
