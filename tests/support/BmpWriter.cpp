#include "BmpWriter.h"

#include <QFile>
#include <QVector>
#include <QtEndian>

namespace {
void put16(QByteArray &b, int v)
{
    b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
}
void put32(QByteArray &b, qint64 v)
{
    put16(b, int(v & 0xFFFF));
    put16(b, int((v >> 16) & 0xFFFF));
}
} // namespace

namespace BmpWriter {

QByteArray encode(const QImage &source, int bits)
{
    const QImage img = source.convertToFormat(QImage::Format_RGB32);
    const int w = img.width(), h = img.height();
    QVector<QRgb> palette;
    if (bits <= 8) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (!palette.contains(img.pixel(x, y) | 0xFF000000))
                    palette << (img.pixel(x, y) | 0xFF000000);
        palette.resize(1 << bits);
    }
    const int stride = ((w * bits + 31) / 32) * 4;
    const int offset = 14 + 40 + int(palette.size()) * 4;
    QByteArray b;
    b.append("BM");
    put32(b, offset + stride * h);
    put32(b, 0);
    put32(b, offset);
    put32(b, 40);
    put32(b, w);
    put32(b, h);
    put16(b, 1);
    put16(b, bits);
    put32(b, 0);
    put32(b, stride * h);
    put32(b, 2835);
    put32(b, 2835);
    put32(b, palette.size());
    put32(b, 0);
    for (QRgb c : palette)
        b.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c))).append(char(0));
    for (int y = h - 1; y >= 0; --y) { // bottom-up
        QByteArray row(stride, '\0');
        for (int x = 0; x < w; ++x) {
            const QRgb c = img.pixel(x, y);
            switch (bits) {
            case 1: case 4: case 8: {
                const int index = int(palette.indexOf(c | 0xFF000000));
                const int bit = x * bits;
                row[bit / 8] = char(uchar(row[bit / 8]) | (index << (8 - bits - bit % 8)));
                break;
            }
            case 16: {
                const int v = (qRed(c) >> 3) << 10 | (qGreen(c) >> 3) << 5 | (qBlue(c) >> 3);
                row[x * 2] = char(v & 0xFF);
                row[x * 2 + 1] = char(v >> 8);
                break;
            }
            case 24:
                row[x * 3] = char(qBlue(c));
                row[x * 3 + 1] = char(qGreen(c));
                row[x * 3 + 2] = char(qRed(c));
                break;
            case 32:
                row[x * 4] = char(qBlue(c));
                row[x * 4 + 1] = char(qGreen(c));
                row[x * 4 + 2] = char(qRed(c));
                row[x * 4 + 3] = 0; // many writers leave alpha 0 in plain 32-bit files
                break;
            }
        }
        b.append(row);
    }
    return b;
}

bool write(const QString &path, const QImage &image, int bits)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(encode(image, bits)) >= 0;
}

} // namespace BmpWriter
