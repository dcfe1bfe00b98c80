// A short fuzz run in the suite: valid skin images of every depth, then thousands of damaged
// copies (flipped bytes, cut files, header fields set to extremes) through load, set, paint.
// scripts/fuzz-bmp.sh runs the same target for longer under libFuzzer with sanitizers.
#include "BmpFuzzTarget.h"
#include "BmpWriter.h"

#include <QElapsedTimer>
#include <QImage>
#include <QtTest>

class TestBmpFuzz : public QObject
{
    Q_OBJECT

    static QList<QByteArray> seeds()
    {
        QImage img(13, 7, QImage::Format_RGB32);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                img.setPixel(x, y, (x + y) % 3 ? qRgb(0, 255, 0) : qRgb(20 * x, 30 * y, 90));
        QList<QByteArray> out;
        for (int bits : {1, 4, 8, 16, 24, 32})
            out << BmpWriter::encode(img, bits);
        return out;
    }

private Q_SLOTS:
    void damagedImagesNeverCrash()
    {
        quint64 state = 0x9E3779B97F4A7C15ull;
        auto next = [&state] {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            return state;
        };
        const QList<QByteArray> base = seeds();
        for (const QByteArray &s : base)
            fuzzSkinImage(reinterpret_cast<const uint8_t *>(s.constData()), size_t(s.size()));
        QElapsedTimer t;
        t.start();
        int runs = 0;
        for (; runs < 20000; ++runs) {
            QByteArray b = base[int(next() % quint64(base.size()))];
            switch (next() % 4) {
            case 0: // flip a few bytes anywhere
                for (int i = 0; i < 1 + int(next() % 8); ++i)
                    b[int(next() % quint64(b.size()))] = char(next());
                break;
            case 1: // cut the file short
                b.truncate(int(next() % quint64(b.size())));
                break;
            case 2: { // a header field at an extreme
                const int at = 2 + 2 * int(next() % 26);
                const quint32 extremes[] = {0, 1, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 4096, 4097, 65535};
                qToLittleEndian<quint32>(extremes[next() % 8], b.data() + std::min<qsizetype>(at, b.size() - 4));
                break;
            }
            default: // bytes appended or the palette overrun
                b.append(QByteArray(int(next() % 300), char(next())));
                break;
            }
            fuzzSkinImage(reinterpret_cast<const uint8_t *>(b.constData()), size_t(b.size()));
        }
        qInfo("%d damaged images in %lld ms", runs, static_cast<long long>(t.elapsed()));
        QVERIFY(t.elapsed() < 60000);
    }
};

QTEST_MAIN(TestBmpFuzz)
#include "test_bmp_fuzz.moc"
