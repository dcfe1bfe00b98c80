#include "BmpFile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>
#include <array>

namespace BmpFile {

namespace {

template <typename T>
T le(const QByteArray &b, int at)
{
    return qFromLittleEndian<T>(reinterpret_cast<const uchar *>(b.constData()) + at);
}

bool fail(QString *why, const QString &text)
{
    if (why)
        *why = text;
    return false;
}

// The file and information headers, checked against each other and against the data.
bool headerHolds(const QByteArray &b, QString *why)
{
    constexpr int FileHeader = 14;
    if (b.size() < FileHeader + 12 || b[0] != 'B' || b[1] != 'M')
        return fail(why, QStringLiteral("not a BMP file"));
    const quint32 offset = le<quint32>(b, 10);
    const quint32 infoSize = le<quint32>(b, 14);
    if (infoSize != 12 && infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize != 108 && infoSize != 124)
        return fail(why, QStringLiteral("unknown BMP header"));
    if (qint64(FileHeader) + infoSize > b.size() || offset < FileHeader + infoSize || offset >= quint32(b.size()))
        return fail(why, QStringLiteral("truncated BMP file"));
    qint64 width, height;
    int planes, bits;
    quint32 compression = 0;
    if (infoSize == 12) {
        width = le<quint16>(b, 18);
        height = le<quint16>(b, 20);
        planes = le<quint16>(b, 22);
        bits = le<quint16>(b, 24);
    } else {
        width = le<qint32>(b, 18);
        height = le<qint32>(b, 22);
        planes = le<quint16>(b, 26);
        bits = le<quint16>(b, 28);
        compression = le<quint32>(b, 30);
    }
    const qint64 rows = height < 0 ? -height : height;
    if (width <= 0 || rows == 0 || width > MaxSide || rows > MaxSide)
        return fail(why, QStringLiteral("BMP size out of range"));
    if (planes != 1 || (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32))
        return fail(why, QStringLiteral("unsupported BMP colour depth"));
    const bool rle = (compression == 1 && bits == 8) || (compression == 2 && bits == 4);
    const bool fields = compression == 3 && (bits == 16 || bits == 32);
    if (compression != 0 && !rle && !fields)
        return fail(why, QStringLiteral("unsupported BMP compression"));
    if (height < 0 && rle)
        return fail(why, QStringLiteral("malformed BMP file"));
    if (!rle) {
        const qint64 stride = ((width * bits + 31) / 32) * 4;
        if (stride * rows > b.size() - qint64(offset))
            return fail(why, QStringLiteral("truncated BMP file"));
    }
    return true;
}

// Channel widths of a 16- or 32-bit file: 5-5-5 unless its bit fields say otherwise.
struct Channels {
    int red = 8, green = 8, blue = 8;
};

int bitCount(quint32 mask)
{
    int n = 0;
    for (; mask; mask &= mask - 1)
        ++n;
    return n;
}

Channels channels(const QByteArray &b)
{
    const quint32 infoSize = le<quint32>(b, 14);
    if (infoSize < 40)
        return {};
    const int bits = le<quint16>(b, 28);
    const quint32 compression = le<quint32>(b, 30);
    if (compression == 3 && b.size() >= 14 + 40 + 12)
        return {bitCount(le<quint32>(b, 54)), bitCount(le<quint32>(b, 58)), bitCount(le<quint32>(b, 62))};
    if (bits == 16)
        return {5, 5, 5};
    return {};
}

// The decoder widens an n-bit channel by a shift, so full strength reads as 248, not 255, and
// a 16-bit skin could never show its key colour: widen to the full range instead.
void widen(QImage &image, const Channels &c)
{
    if (c.red == 8 && c.green == 8 && c.blue == 8)
        return;
    auto table = [](int n) {
        std::array<uchar, 256> t{};
        const int levels = n >= 1 && n <= 8 ? (1 << n) - 1 : 255;
        const int scale = 256 / (levels + 1);
        for (int v = 0; v < 256; ++v)
            t[v] = uchar(std::min(255, (v / scale * 255 + levels / 2) / levels));
        return t;
    };
    const auto r = table(c.red), g = table(c.green), bl = table(c.blue);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qRgb(r[qRed(line[x])], g[qGreen(line[x])], bl[qBlue(line[x])]);
    }
}

} // namespace

QImage fromData(const QByteArray &bytes, QString *why)
{
    if (bytes.size() > MaxBytes) {
        fail(why, QStringLiteral("file too large"));
        return {};
    }
    if (!headerHolds(bytes, why))
        return {};
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer, "bmp");
    reader.setDecideFormatFromContent(false);
    QImage image = reader.read();
    if (image.isNull()) {
        fail(why, QStringLiteral("damaged BMP file"));
        return {};
    }
    // Skins have no alpha: every pixel is drawn, or is the key colour.
    image = image.convertToFormat(QImage::Format_RGB32);
    widen(image, channels(bytes));
    return image;
}

QImage load(const QString &path, QString *why)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        fail(why, QStringLiteral("file not found"));
        return {};
    }
    // A pipe or a device would block or never end.
    if (!info.isFile()) {
        fail(why, QStringLiteral("not a regular file"));
        return {};
    }
    if (info.size() > MaxBytes) {
        fail(why, QStringLiteral("file too large"));
        return {};
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        fail(why, f.errorString());
        return {};
    }
    return fromData(f.read(MaxBytes + 1), why);
}

bool save(const QImage &image, const QString &path, QString *why)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return fail(why, f.errorString());
    if (!image.convertToFormat(QImage::Format_RGB32).save(&f, "BMP"))
        return fail(why, QStringLiteral("the image could not be encoded"));
    return f.commit() || fail(why, f.errorString());
}

} // namespace BmpFile
