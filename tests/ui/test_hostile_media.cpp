// Hostile media through the real player window: a corpus of damaged, mislabelled and strange
// files made from the test clips. Each either plays or gives its message, nothing crashes,
// the desktop's media interface answers within a second throughout, and a good file plays
// after every batch. KT_HOSTILE_TABLE=file writes the outcome of every file there.
#include "SessionBus.h"
#include "TestMedia.h"
#include "WindowTest.h"

#include "playback/MediaGraph.h"
#include "playback/Transport.h"

#include <QBuffer>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QThread>
#include <QtEndian>
#include <QtTest>

#include <atomic>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Asks the player for its playback status over its own bus connection, from its own thread,
// all the time, and keeps the slowest answer.
class MprisProbe : public QThread
{
public:
    explicit MprisProbe(QString address) : m_address(std::move(address)) {}
    std::atomic<bool> stop{false};
    std::atomic<qint64> slowestMs{0};
    std::atomic<int> calls{0};
    std::atomic<int> failures{0};
    // What the player was doing: set by the test, kept with the slowest answer.
    std::atomic<int> step{0};
    std::atomic<int> slowestStep{0};

protected:
    void run() override
    {
        {
            QDBusConnection bus = QDBusConnection::connectToBus(m_address, QStringLiteral("probe"));
            while (!stop) {
                const int during = step;
                QDBusMessage m = QDBusMessage::createMethodCall(
                    QStringLiteral("org.mpris.MediaPlayer2.kinetrope"), QStringLiteral("/org/mpris/MediaPlayer2"),
                    QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
                m << QStringLiteral("org.mpris.MediaPlayer2.Player") << QStringLiteral("PlaybackStatus");
                QElapsedTimer t;
                t.start();
                const QDBusMessage reply = bus.call(m, QDBus::Block, 5000);
                const qint64 ms = t.elapsed();
                if (reply.type() != QDBusMessage::ReplyMessage)
                    ++failures;
                ++calls;
                if (ms > slowestMs) {
                    slowestMs = ms;
                    slowestStep = during;
                }
                QThread::msleep(40);
            }
        }
        QDBusConnection::disconnectFromBus(QStringLiteral("probe"));
    }

private:
    QString m_address;
};

struct Case {
    QString file;
    QString kind;
};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A VideoCD track as a disc's MPEGAV folder holds it: RIFF/CDXA, then raw 2352-byte sectors.
QByteArray cdxa(const QByteArray &mpeg)
{
    constexpr int Payload = 2324;
    QByteArray data;
    for (qsizetype at = 0, n = 0; at < mpeg.size(); at += Payload, ++n) {
        QByteArray sector(2352, '\0');
        sector[0] = sector[11] = '\0';
        for (int i = 1; i < 11; ++i)
            sector[i] = char(0xFF);
        sector[12] = char(n / 4500);
        sector[13] = char(n / 75 % 60);
        sector[14] = char(n % 75);
        sector[15] = 2; // mode 2
        sector[18] = sector[22] = 0x62; // form 2, real-time video
        const QByteArray part = mpeg.mid(at, Payload);
        sector.replace(24, part.size(), part);
        data += sector;
    }
    QByteArray out = "RIFF";
    QByteArray n(4, '\0');
    qToLittleEndian<quint32>(quint32(data.size() + 36), n.data());
    out += n + "CDXAfmt ";
    qToLittleEndian<quint32>(16, n.data());
    out += n + QByteArray(16, '\0') + "data";
    qToLittleEndian<quint32>(quint32(data.size()), n.data());
    return out + n + data;
}

} // namespace

class TestHostileMedia : public WindowTest
{
    Q_OBJECT
    std::unique_ptr<SessionBus> bus;
    std::vector<Case> corpus;
    QString good;

    void add(const QString &name, const QByteArray &bytes, const QString &kind)
    {
        const QString path = env->path(QStringLiteral("hostile/") + name);
        QFile f(path);
        if (f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size())
            corpus.push_back({path, kind});
    }

    void makeCorpus()
    {
        QDir().mkpath(env->path(QStringLiteral("hostile")));
        quint64 s = 0x243F6A8885A308D3ull;
        auto next = [&s] {
            s ^= s << 13;
            s ^= s >> 7;
            s ^= s << 17;
            return s;
        };
        const struct {
            QString path, tag;
        } clips[] = {{TestMedia::h264Mp4(), QStringLiteral("mp4")},
                     {TestMedia::mpeg1Ps(), QStringLiteral("mpg")},
                     {TestMedia::mp3Audio(), QStringLiteral("mp3")}};
        for (const auto &clip : clips) {
            const QByteArray b = readAll(clip.path);
            QVERIFY(b.size() > 10000);
            const QString ext = clip.tag;
            // Cut at the first bytes, in the headers, and through the file.
            const qsizetype cuts[] = {1, 4, 8, 12, 32, 100, 188, 512, 1000, 2048, 4096, 8192};
            int i = 0;
            for (const qsizetype at : cuts)
                add(QStringLiteral("cut%1-%2.%3").arg(i++).arg(at).arg(ext), b.left(at), QStringLiteral("truncated"));
            for (int k = 1; k < 10; ++k)
                add(QStringLiteral("cut%1-%2.%3").arg(i++).arg(k * 10).arg(ext), b.left(b.size() * k / 10), QStringLiteral("truncated"));
            for (int k = 0; k < 14; ++k) { // flips in the first 4 KiB
                QByteArray d = b;
                for (int j = 0; j < 1 + k % 6; ++j)
                    d[qsizetype(next() % 4096)] ^= char(1 << (next() % 8));
                add(QStringLiteral("headflip%1.%2").arg(k).arg(ext), d, QStringLiteral("bit flips, header"));
            }
            for (int k = 0; k < 10; ++k) { // flips through the middle
                QByteArray d = b;
                for (int j = 0; j < 20; ++j)
                    d[d.size() / 4 + qsizetype(next() % quint64(d.size() / 2))] ^= char(next());
                add(QStringLiteral("midflip%1.%2").arg(k).arg(ext), d, QStringLiteral("bit flips, middle"));
            }
            for (int k = 0; k < 8; ++k) { // chunks zeroed
                QByteArray d = b;
                const qsizetype len = 64 << k;
                const qsizetype at = k % 2 ? 0 : qsizetype(next() % quint64(d.size() - len));
                d.replace(at, len, QByteArray(len, '\0'));
                add(QStringLiteral("zero%1.%2").arg(k).arg(ext), d, QStringLiteral("zeroed chunk"));
            }
            for (int k = 0; k < 8; ++k) { // two chunks swapped
                QByteArray d = b;
                const qsizetype len = 256 << (k % 5);
                const qsizetype a = k < 3 ? 0 : qsizetype(next() % quint64(d.size() / 2 - len));
                const qsizetype c = d.size() / 2 + qsizetype(next() % quint64(d.size() / 2 - len));
                const QByteArray x = d.mid(a, len), y = d.mid(c, len);
                d.replace(a, len, y);
                d.replace(c, len, x);
                add(QStringLiteral("swap%1.%2").arg(k).arg(ext), d, QStringLiteral("swapped chunks"));
            }
        }
        // Absurd values in the container headers.
        const QByteArray mp4 = readAll(TestMedia::h264Mp4());
        const quint32 extremes[] = {0, 1, 0x7FFFFFFF, 0xFFFFFFFF};
        auto patchBox = [&](const char *box, int offset, const QString &what) {
            const qsizetype at = mp4.indexOf(box);
            if (at < 0)
                return;
            for (const quint32 v : extremes) {
                QByteArray d = mp4;
                qToBigEndian<quint32>(v, d.data() + at + offset);
                add(QStringLiteral("%1-%2.mp4").arg(what).arg(v, 0, 16), d, QStringLiteral("absurd header value"));
            }
        };
        patchBox("mvhd", 16, QStringLiteral("timescale"));   // version 0: after flags and two times
        patchBox("mvhd", 20, QStringLiteral("duration"));
        patchBox("tkhd", 80, QStringLiteral("width"));
        patchBox("tkhd", 84, QStringLiteral("height"));
        patchBox("mdhd", 20, QStringLiteral("trackduration"));
        patchBox("stsz", 12, QStringLiteral("samplecount"));
        patchBox("stco", 8, QStringLiteral("chunkcount"));
        patchBox("avc1", 28, QStringLiteral("codedsize"));
        const QByteArray mpg = readAll(TestMedia::mpeg1Ps());
        const qsizetype seq = mpg.indexOf(QByteArray("\x00\x00\x01\xB3", 4));
        if (seq >= 0) {
            const char fields[][3] = {{'\xFF', '\xFF', '\xFF'}, {0, 0, 0}, {'\x00', '\x10', '\x00'}, {'\xFF', '\xF0', '\x01'}};
            int k = 0;
            for (const auto &f : fields) {
                QByteArray d = mpg;
                // Every sequence header: width and height, 12 bits each.
                for (qsizetype at = seq; at >= 0; at = d.indexOf(QByteArray("\x00\x00\x01\xB3", 4), at + 4))
                    d.replace(at + 4, 3, QByteArray(f, 3));
                add(QStringLiteral("mpgsize%1.mpg").arg(k++), d, QStringLiteral("absurd header value"));
            }
            for (const char rate : {'\x00', '\x0F', '\xFF'}) {
                QByteArray d = mpg;
                for (qsizetype at = seq; at >= 0; at = d.indexOf(QByteArray("\x00\x00\x01\xB3", 4), at + 4))
                    d[at + 7] = rate;
                add(QStringLiteral("mpgrate%1.mpg").arg(int(uchar(rate))), d, QStringLiteral("absurd header value"));
            }
        }
        // Not media at all, or not a file.
        add(QStringLiteral("empty.mp4"), {}, QStringLiteral("empty file"));
        add(QStringLiteral("text.avi"), "This is plain text, not a video file.\n", QStringLiteral("text renamed"));
        add(QStringLiteral("text.mkv"), QByteArray("#EXTM3U\nnot really\n").repeated(50), QStringLiteral("text renamed"));
        {
            QImage image(64, 48, QImage::Format_RGB32);
            image.fill(Qt::darkCyan);
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
            add(QStringLiteral("image.mp4"), png, QStringLiteral("image renamed"));
            add(QStringLiteral("image.mpg"), png, QStringLiteral("image renamed"));
        }
        const QString dir = env->path(QStringLiteral("hostile/folder.mp4"));
        QDir().mkpath(dir);
        corpus.push_back({dir, QStringLiteral("directory")});
        const QString fifo = env->path(QStringLiteral("hostile/fifo.mp4"));
        if (::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0)
            corpus.push_back({fifo, QStringLiteral("FIFO")});
        // Unreadable by permission (as root it reads all the same, and plays).
        add(QStringLiteral("locked.mp4"), mp4, QStringLiteral("unreadable"));
        ::chmod(QFile::encodeName(corpus.back().file).constData(), 0);
        const QString dangling = env->path(QStringLiteral("hostile/dangling.mp4"));
        if (QFile::link(env->path(QStringLiteral("hostile/nowhere.mp4")), dangling))
            corpus.push_back({dangling, QStringLiteral("dangling link")});
        const QString loop = env->path(QStringLiteral("hostile/loop.mp4"));
        if (QFile::link(loop, loop))
            corpus.push_back({loop, QStringLiteral("link to itself")});
        // VideoCD tracks: a good one, then broken CDXA headers.
        const QByteArray vcd = cdxa(mpg);
        add(QStringLiteral("AVSEQ01.DAT"), vcd, QStringLiteral("VideoCD track"));
        auto brokenVcd = [&](const QString &name, auto change) {
            QByteArray d = vcd;
            change(d);
            add(name, d, QStringLiteral("broken CDXA header"));
        };
        brokenVcd(QStringLiteral("AVSEQ02.DAT"), [](QByteArray &d) { d.replace(8, 4, "CDXB"); });
        brokenVcd(QStringLiteral("AVSEQ03.DAT"), [](QByteArray &d) { qToLittleEndian<quint32>(0xFFFFFFF0, d.data() + 4); });
        brokenVcd(QStringLiteral("AVSEQ04.DAT"), [](QByteArray &d) { qToLittleEndian<quint32>(0xFFFFFFF0, d.data() + 16); });
        brokenVcd(QStringLiteral("AVSEQ05.DAT"), [](QByteArray &d) { d.replace(36, 4, "junk"); });
        brokenVcd(QStringLiteral("AVSEQ06.DAT"), [](QByteArray &d) { d.truncate(44); });
        brokenVcd(QStringLiteral("AVSEQ07.DAT"), [](QByteArray &d) { d.replace(44, 2352 * 4, QByteArray(2352 * 4, '\xFF')); });
    }

private Q_SLOTS:
    void initTestCase()
    {
        env = std::make_unique<TestEnv>();
        bus = std::make_unique<SessionBus>();
        QVERIFY(bus->start(env->path("tmp")));
        QVERIFY(QDBusConnection::sessionBus().registerService("org.mpris.MediaPlayer2.kinetrope"));
        good = TestMedia::mpeg1Ps();
        QVERIFY(!good.isEmpty());
        makeCorpus();
        QVERIFY2(corpus.size() >= 200, qPrintable(QString::number(corpus.size())));
    }

    void cleanupTestCase()
    {
        for (const Case &c : corpus)
            ::chmod(QFile::encodeName(c.file).constData(), 0600);
    }

    void everyFilePlaysOrSaysWhyAndTheWindowKeepsAnswering()
    {
        freshStore();
        open(good);
        QVERIFY(w->graph().loaded());
        MprisProbe probe(bus->address());
        probe.start();
        QTRY_VERIFY(probe.calls > 0);

        QMap<QString, QPair<int, int>> table; // kind -> played, message
        QStringList lines;
        int played = 0, messages = 0, silent = 0;
        QElapsedTimer total;
        total.start();
        for (size_t i = 0; i < corpus.size(); ++i) {
            const Case &c = corpus[i];
            const size_t before = prompt.messages.size();
            probe.step = int(i) * 4;
            w->playList().startFromSelection({c.file});
            const bool loaded = w->graph().loaded();
            const bool said = prompt.messages.size() > before;
            if (loaded) {
                // Decode some of it, damaged parts included.
                probe.step = int(i) * 4 + 1;
                w->execute({Command::Play});
                w->execute({Command::SetRate, 4});
                QTest::qWait(120);
                probe.step = int(i) * 4 + 2;
                w->execute({Command::FrameAdvance});
                w->execute({Command::MovePosition, 2});
                QTest::qWait(60);
            }
            QString outcome = loaded ? QStringLiteral("played") : said ? QStringLiteral("message") : QStringLiteral("nothing");
            if (said)
                outcome += QStringLiteral(": ") + prompt.messages[before].text.section(u'\n', 0, 0);
            lines << QStringLiteral("%1\t%2\t%3").arg(QFileInfo(c.file).fileName(), c.kind, outcome);
            auto &row = table[c.kind];
            (loaded ? row.first : row.second) += 1;
            loaded ? ++played : said ? ++messages : ++silent;
            QVERIFY2(loaded || said, qPrintable(c.file + QStringLiteral(": neither played nor a message")));
            // After every few, and after the last, a good file plays.
            if (i % 8 == 7 || i + 1 == corpus.size()) {
                probe.step = int(i) * 4 + 3;
                w->playList().startFromSelection({good});
                QVERIFY2(w->graph().loaded(), qPrintable(QStringLiteral("good file after ") + c.file));
                w->execute({Command::Play});
                QTRY_VERIFY2(w->transport().positionSlider().value() >= 0 && w->graph().playing(), qPrintable(c.file));
            }
        }
        // Stopped with the event loop running: its last call must still be answered.
        probe.stop = true;
        QTRY_VERIFY_WITH_TIMEOUT(probe.isFinished(), 10000);
        probe.wait();
        static const char *const steps[] = {"opening", "playing", "stepping", "opening the good file after"};
        const QString slowest = QStringLiteral("slowest answer %1 ms, while %2 %3")
                                    .arg(probe.slowestMs)
                                    .arg(QLatin1String(steps[probe.slowestStep % 4]),
                                         QFileInfo(corpus[size_t(probe.slowestStep / 4)].file).fileName());
        qInfo("%zu files in %lld s: %d played, %d with a message; %d MPRIS calls, %d failed; %s", corpus.size(),
              static_cast<long long>(total.elapsed() / 1000), played, messages, int(probe.calls), int(probe.failures),
              qPrintable(slowest));
        for (auto it = table.cbegin(); it != table.cend(); ++it)
            qInfo("  %-22s played %3d  message %3d", qPrintable(it.key()), it->first, it->second);
        if (qEnvironmentVariableIsSet("KT_HOSTILE_TABLE")) {
            QFile out(qEnvironmentVariable("KT_HOSTILE_TABLE"));
            if (out.open(QIODevice::WriteOnly))
                out.write(lines.join(u'\n').toUtf8() + '\n');
        }
        QCOMPARE(silent, 0);
        QCOMPARE(int(probe.failures), 0);
        QVERIFY2(probe.slowestMs < 1000, qPrintable(slowest));
        // The window is still whole: it plays and its readouts move.
        QVERIFY(w->graph().playing());
    }
};

QTEST_MAIN(TestHostileMedia)
#include "test_hostile_media.moc"
