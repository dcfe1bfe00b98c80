#pragma once

#include <QByteArray>
#include <QImage>

// Writes a .bmp at a chosen depth, as other programs would, so the tests can feed the
// player every kind it must read: 1, 4 and 8 bits with a palette, 16 bits (5-5-5), 24 bits,
// and 32 bits with the alpha byte left 0.
namespace BmpWriter {
QByteArray encode(const QImage &image, int bitsPerPixel);
bool write(const QString &path, const QImage &image, int bitsPerPixel);
} // namespace BmpWriter
