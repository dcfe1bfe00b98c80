#include "VideoCdMedia.h"

#include "TestMedia.h"

#include <QFile>
#include <QSaveFile>
#include <QtEndian>

namespace VideoCdMedia {

namespace {
constexpr int SectorSize = 2352;
constexpr int PayloadSize = 2324;

char bcd(int v)
{
    return char(((v / 10) << 4) | (v % 10));
}

void putLe32(QByteArray &b, quint32 v)
{
    char raw[4];
    qToLittleEndian(v, raw);
    b.append(raw, 4);
}
} // namespace

bool writeCdxa(const QString &mpegPath, const QString &datPath)
{
    QFile in(mpegPath);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QByteArray mpeg = in.readAll();
    const int sectors = int((mpeg.size() + PayloadSize - 1) / PayloadSize);

    QByteArray body;
    body.reserve(qsizetype(sectors) * SectorSize);
    for (int i = 0; i < sectors; ++i) {
        // Sync, then the address (minute, second, frame in BCD, after the 2 s lead-in and
        // the track's own pregap) and mode 2; then the subheader twice: file 1, channel 1,
        // submode real-time video in form 2, no coding info.
        body.append('\0');
        body.append(10, char(0xFF));
        body.append('\0');
        const int lba = i + 150 + 225;
        body.append(bcd(lba / 4500));
        body.append(bcd((lba / 75) % 60));
        body.append(bcd(lba % 75));
        body.append(char(2));
        for (int k = 0; k < 2; ++k)
            body.append("\x01\x01\x62\x00", 4);
        QByteArray payload = mpeg.mid(qsizetype(i) * PayloadSize, PayloadSize);
        payload.append(PayloadSize - payload.size(), '\0');
        body.append(payload);
        body.append(4, '\0'); // no error detection code in form 2
    }

    QByteArray file("RIFF");
    putLe32(file, quint32(4 + 8 + 16 + 8 + body.size()));
    file.append("CDXAfmt ");
    putLe32(file, 16);
    // The XA file attributes: owner ids, attributes, "XA", file number, reserved.
    file.append("\0\0\0\0\x55\x0d" "XA\x01", 9);
    file.append(7, '\0');
    file.append("data");
    putLe32(file, quint32(body.size()));
    file.append(body);

    QSaveFile out(datPath);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write(file);
    return out.commit();
}

QString vcdTrack(int seconds)
{
    const QString dat = TestMedia::dir() + QStringLiteral("/vcd-%1s.dat").arg(seconds);
    if (QFile::exists(dat))
        return dat;
    const QString d = QString::number(seconds);
    const QString mpeg = TestMedia::make(
        QStringLiteral("vcd-%1s.mpg").arg(seconds),
        {"-f", "lavfi", "-i", "testsrc=size=352x288:rate=25:duration=" + d, "-f", "lavfi", "-i",
         "sine=frequency=440:duration=" + d + ":sample_rate=44100", "-target", "pal-vcd", "-g", "15"});
    if (mpeg.isEmpty() || !writeCdxa(mpeg, dat))
        return {};
    return dat;
}

QString svcdTrack(int seconds)
{
    const QString d = QString::number(seconds);
    return TestMedia::make(QStringLiteral("svcd-%1s.mpg").arg(seconds),
                           {"-f", "lavfi", "-i", "testsrc=size=480x576:rate=25:duration=" + d, "-f", "lavfi", "-i",
                            "sine=frequency=550:duration=" + d + ":sample_rate=44100", "-target", "pal-svcd", "-g",
                            "15"});
}

} // namespace VideoCdMedia
